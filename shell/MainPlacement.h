// The main window's remembered place: Main_Left, Main_Top, Main_Width,
// Main_Height (twips) and Main_WindowState, read from wherever the window's
// keys live and corrected against the screen at start-up, written at close.
#pragma once

class QWidget;
class SettingsStore;
class TwipsPlacement;

// Sets the window's geometry and state. False when a stored value is not a
// number, which makes the main window's load fail.
// `placement` keeps what was read, for the save.
bool RestoreMainPlacement(QWidget& window, SettingsStore& store, TwipsPlacement& placement);
// Writes the state (0 normal, 1 minimised, 2 maximised), and the geometry
// only in the normal state, so that a maximised window keeps its earlier place.
void SaveMainPlacement(const QWidget& window, int state, SettingsStore& store, const TwipsPlacement& placement);
