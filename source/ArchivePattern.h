// The two rules of what counts as an archive to extract, from the enabled
// archive kinds (settings switches) and the archiver libraries present: the
// source file list's pattern, and the test for names that come from outside
// the program (command line, dropped files), by extension or contents.
#pragma once

#include <QString>

struct Settings;
class Libraries;

// The pattern that lists the enabled kinds ("*.LZH;*.ZIP;..."), in the kind
// table's order with the other names (.EXE, .X ...) last; kNoArchivePattern
// when no kind is enabled.
QString ArchivePattern(const Settings& settings, const Libraries& libraries);
// A name that matches nothing in practice, so that the list stays empty.
inline constexpr const char* kNoArchivePattern = "abcdzyxw.___";

// True when the name's extension is that of an enabled kind. With Double set,
// the four double extensions (.LZH.ZIP ...) are tried first.
bool IsArchiveName(const QString& name, const Settings& settings, const Libraries& libraries);
// The test for a file named from outside (command line, a drop, a file
// manager): its extension, or, when that names no enabled kind, its first
// bytes (a ZIP saved as "download"), as the engine extracts it.
bool IsArchiveFile(const QString& path, const Settings& settings, const Libraries& libraries);
