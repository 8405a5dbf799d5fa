// What went wrong with a settings file, and the texts that tell the user: the
// file, what happened to the settings, the reason, and what to do about it.
#pragma once

#include <QList>
#include <QString>

struct SettingsFault {
  enum class Kind {
    Unreadable,  // the file could not be read: the program starts with the defaults
    Damaged,     // some lines were not understood: the others were read
    NotSaved,    // a save failed: the changes since the last save are not on disk
    NotRemoved,  // a file could not be removed
  };
  Kind kind = Kind::Unreadable;
  QString path;          // the settings file
  int error = 0;         // errno of the failing step (EBUSY: another copy holds the lock)
  bool inFolder = false; // the error concerns the folder that holds the file
  int damagedLines = 0;  // Damaged: how many lines were not understood
  bool notWritable = false;  // Unreadable, Damaged: the file cannot be written either
};

// One message for all the faults, a paragraph each; empty for none.
QString SettingsFaultMessage(const QList<SettingsFault>& faults);

// The report of a window whose loading failed ("Rukasu2 frmOption Form_Load
// ERR"), followed by the settings file and how to reset it.
QString LoadFailureText(const QString& report, const QString& settingsFile);

// A shell command that removes `path` for the user who cannot: with sudo when
// the folder belongs to someone else, after chmod when it is only write-protected.
QString RemovalCommand(const QString& path);
