// The program reads and writes file names as UTF-8. When the environment's
// LC_CTYPE is not a UTF-8 locale (LANG unset, LC_ALL=C), switch it to one.
#pragma once

void EnsureUtf8Locale();
