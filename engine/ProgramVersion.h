// The program's version text ("1.02"), from the build.
#pragma once

#include <QString>

QString ProgramVersion();
