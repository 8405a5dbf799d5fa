// A control made with its name: controls carry their name as their Qt object
// name, which tests, the window check and the accessibility tree look up.
#pragma once

#include <QLatin1String>

template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}
