// The temporary folder: the default of the TmpDir setting, and a choice of
// the default folders dialog.
#pragma once

#include <QString>

// $TMPDIR, or /tmp; always ending in "/".
QString TempFolderPath();
