// The result log file: its bytes (CP932, CR LF after every line), writing it
// so that a failed save leaves an existing file as it was, and the save
// dialog's name filters taken from the message table's Windows-form filter.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Every line followed by CR LF, in CP932; characters CP932 cannot hold become "?".
QByteArray LogFileBytes(const QList<QString>& lines);

// Writes the bytes to a temporary file beside `path` and renames it over
// `path` only when everything was written. False on any failure.
bool SaveLogFile(const QString& path, const QByteArray& bytes);

// "Text(*.LOG)|*.LOG|All(*.*)|*.*" becomes {"Text (*.LOG)", "All (*)"}: the
// form QFileDialog takes, which matches names ignoring letter case.
QStringList QtNameFilters(const QString& windowsFilter);
