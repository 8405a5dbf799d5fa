// The layout of a pane that holds a single list: the list fills the pane with
// a 60-twip margin on every side. Shared by the result log and the extracted
// folders panes.
#pragma once

class QWidget;

// Places `list` inside `pane`. When the width left over is not positive the
// list stays as it is; when only the height is not positive, only its
// position and width change.
void PlaceInMargin(QWidget* pane, QWidget* list);
