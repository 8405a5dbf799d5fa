// The busy pointer while a window works through a long loop: shown for the
// object's lifetime and restored however the scope ends.
#pragma once

#include <QApplication>
#include <QCursor>

class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};
