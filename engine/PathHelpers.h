// The shared helper module: small stateless text and file-system functions on
// paths, used by the engine and the panes. On Linux "/" is both the separator
// and the root (what a drive root was). Every function catches its own
// failures and returns its empty or false result. Positions in the comments
// count characters from 1.
#pragma once

#include <QString>

#include "platform/TempFolder.h"  // TempFolderPath, which the callers of these helpers use too

// The folder that holds the archiver modules: $RUKASU2_SYSTEM_DIR, else
// SystemFolderPathFor(the executable's folder).
QString SystemFolderPath();
// The first existing of "archivers" inside the folder (build tree, portable
// copy) and the installed modules relative to it (../lib/rukasu2/archivers for
// a program in bin/); else the folder compiled in at the configured prefix.
QString SystemFolderPathFor(const QString& executableFolder);
// " (1,234.5M Free)" for the file system that holds the (existing) path, or
// empty when the free space cannot be read or is 0.
QString FreeSpace_Get(const QString& path);
// The path shortened for display: with five or more pieces, the first two,
// ".../" and the last two ("/A/B/C/F.LZH" gives "/A/.../C/F.LZH"); shown as
// DisplayPath shows it.
QString DispPath_Get(const QString& path);
// The path (or name) as the user sees it: a component that is not UTF-8 (see
// platform/FileName.h) is decoded as CP932 when all its bytes are CP932,
// else shown with each bad byte as "\xNN", and followed by the mark of
// that reading; every other component as it is. A control character (a line
// break) shows as "\xNN" too, so that a name takes one line.
QString DisplayPath(const QString& path);
// The text up to its first ASCII digit; unchanged without a digit or with the
// digit in position 1.
QString DigitCut_Get(const QString& text);
// The text after the last "/"; empty when there is none or it ends with "/".
QString FileName_Get(const QString& path);
// The file name without its extension; with `tar` the two-part extensions of
// the kind table (.tar.gz, .tar.xz ...) are taken whole, with `doubleExt`
// those of its double kinds (.lzh.zip, .tar.xz.zip ...), the longest that
// leaves at least one character of the name.
QString BaseName_Get(const QString& path, bool tar, bool doubleExt);
// The folder part of the path ("/" for a file in the root); empty without "/".
QString ParentDir_Get(const QString& path);
// The extension with its dot, in the case of the path; empty when a "/" comes
// before any dot. The same double extensions as BaseName_Get.
QString Exp_Get(const QString& path, bool tar, bool doubleExt);
// The absolute path as spelled on disk, "." and ".." resolved, each component
// looked up in its folder (case-insensitively where the file system is);
// symbolic links kept as named. Empty for a relative or missing path.
QString LongPath_Get(const QString& path);
// Upper-cases every character by its simple mapping, except the full-width,
// Greek and Cyrillic small letters, which stay as they are. A component that
// is not UTF-8 but CP932 is upper-cased character by character in CP932, so
// that a trail byte that looks like a letter stays as it is; one that is
// neither keeps its bad bytes.
QString UCase_Get(const QString& text);
// The process's current folder; empty when it cannot be named.
QString CurrentFolderPath();
// True when the path is a regular file that can be opened for reading.
bool File_Check(const QString& path);
// True when the path is a folder that could be entered (search permission).
// Never changes the process's current folder.
bool Dir_Check(const QString& path);
