// The program's icon (a stack of archive boxes with an arrow), from the
// resources built into the window library: the about box shows it and the
// main window sets it as the application's window icon.
#pragma once

#include <QIcon>

// Every size from 16 to 256 pixels.
QIcon ProgramIcon();
