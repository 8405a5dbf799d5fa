// What a file is by its first bytes, for a file named explicitly (command
// line, a drop, a file manager) whose extension names no kind that is on: a
// ZIP saved as "download", a gzip file as "blob.bin".
#pragma once

#include <QString>

// The extension of the kind that reads the file (".ZIP", ".TAR", ".GZ" ...),
// upper case as the kind table spells it; empty when the first bytes are
// those of no archive we read (or the file cannot be read). A compressed
// stream is named as the single compressed file it is.
QString ExtensionByContents(const QString& path);
