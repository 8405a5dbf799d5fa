// Points XDG_CONFIG_HOME (and so every settings file), XDG_DATA_HOME (and so
// the Trash) and TMPDIR of a test process at fresh folders, so that tests
// never touch the user's own files and parallel test processes never share one.
#pragma once

namespace testing_support {
void IsolateEnvironment();
}
