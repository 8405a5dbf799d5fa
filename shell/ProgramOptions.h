// The program's own command-line switches, on top of the archive names and
// the removal switch "/U" that the argument text carries: --auto runs the
// named archives at once for this call only (headless where there is no
// display), with --mode, and --dest or --here, and --notify; --help and
// --version print and end. Without a switch the arguments reach start-up
// unchanged. What each does for the user is written in dist/man/rukasu2.usage.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

struct ProgramOptions {
  bool help = false;
  bool version = false;
  bool autoRun = false;           // --auto
  std::optional<int16_t> mode;    // --mode: 0 Okavi, 1 Normal, 2 NoDigits, 3 FileN
  QString dest;                   // --dest: the destination folder of this run
  bool here = false;              // --here: each archive into the folder that holds it
  bool notify = false;            // --notify: a desktop notice when a long or failed run ends
  QString passwordFile;           // --password-file: passwords to try on encrypted archives
  QStringList names;              // everything that is not a switch, in order
  QString error;                  // a switch that cannot be used; empty when all is well

  // Reads the arguments after the program name. "--" ends the switches.
  static ProgramOptions Parse(const QStringList& arguments);
};

// Exit statuses of a run from the command line.
inline constexpr int kExitAllExtracted = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitStopped = 2;
inline constexpr int kExitUsage = 64;

// What --help prints: the usage of the manual page's sections that the
// program itself explains, in Japanese or in English.
QString HelpText(bool japanese = true);
// Whether the environment asks for Japanese messages (LC_ALL, LC_MESSAGES or LANG).
bool JapaneseLocale();
// How many terminal columns a line takes (East Asian wide characters two).
int TerminalColumns(const QString& text);
