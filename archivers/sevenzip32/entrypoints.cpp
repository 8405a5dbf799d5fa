// SEVENZIP32.DLL's C entry points (prefix SevenZip); the work is in SevenZipReader.
#include "archivers/common/Module.h"
#include "archivers/common/Passwords.h"
#include "archivers/sevenzip32/SevenZipReader.h"

RKARC_MODULE_ENTRY_POINTS(SevenZip, 100, rkarc::sevenzip::Extract, rkarc::sevenzip::CanExtract)
RKARC_MODULE_PASSWORD_ENTRY_POINT(SevenZip)
