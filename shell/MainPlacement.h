// The main window's remembered place: Main_Left, Main_Top, Main_Width,
// Main_Height (its frame, in twips) and Main_WindowState, read from wherever
// the window's keys live and corrected against the screen at start-up,
// written at close.
#pragma once

class QWidget;
class SettingsStore;
class FramePlacement;

// Sets the window's frame and state. A stored value that is no number keeps
// its default, and is then corrected like any other. Without a stored
// height the window is at least `leastHeight` pixels high (what its panes
// need at the present font), as far as the screen allows.
void RestoreMainPlacement(QWidget& window, SettingsStore& store, FramePlacement& placement, int leastHeight = 0);
// Writes the state (0 normal, 1 minimised, 2 maximised), and the frame only
// in the normal state, so that a maximised window keeps its earlier place.
void SaveMainPlacement(int state, SettingsStore& store, const FramePlacement& placement);
