// BZ2LIB.DLL: its presence beside TAR32.DLL enables the bzip2 kinds in the
// program (TAR32.DLL decodes bzip2 itself); it answers only its version.
#include "archivers/common/Module.h"

RKARC_EXPORT int32_t BZ2GetVersion(void) { return 100; }
RKARC_CHECK_ENTRY_POINT(BZ2GetVersion, RkGetVersionFn);
