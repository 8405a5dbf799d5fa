// The help command: the program's Japanese user guide in a window of its own.
#pragma once

class QWidget;

void ShowHelp(QWidget* owner);
