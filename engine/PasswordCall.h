// A command of a library that finds an archive's password itself: the
// library is handed the run's passwords, the last one that opened an archive
// first; when none opens this one the listener is asked for another (the
// window's dialog) until one does, the user skips the archive or cancels the
// run. The library clears its copies after each command.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

class ArchiverLibrary;
class ExtractionListener;

// The library's result, or kErrCancelled when the user cancelled the run.
// `archive` is the name the dialog shows.
int32_t CommandWithPasswords(ArchiverLibrary& library, const QByteArray& command, char* report, uint32_t reportSize,
                             ExtractionListener& listener, const QString& archive);
