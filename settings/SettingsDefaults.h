// A settings record holding every key's default, as a first start reads it:
// for the tests, the automatic run's fallbacks and the options dialog's reset.
#pragma once

#include "settings/Settings.h"

Settings DefaultSettings();
