// Helpers shared by the test executables: fresh temporary folders, the sample
// archives of tests/data, files made on the fly, and running tools.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace testing_support {

// A fresh folder under $TMPDIR, removed with everything in it at destruction.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, without a trailing "/".
  const QString& path() const { return m_path; }
  // path() + "/" + relative
  QString file(const QString& relative) const;
  // Writes a file (creating its folders) and returns its full path.
  QString write(const QString& relative, const QByteArray& content) const;
  QString mkdir(const QString& relative) const;

 private:
  QString m_path;
};

// The fixture folder tests/data of the source tree.
QString DataDir();
// DataDir() + "/" + relative. A fixture that is not there fails the test that
// asks for it: a checkout without its fixtures must not pass.
QString Sample(const QString& relative);

QByteArray ReadFile(const QString& path);
QByteArray Sha256Hex(const QByteArray& data);
// Every file and folder under root, as relative paths ("a/", "a/b.txt"), sorted.
QStringList Tree(const QString& root);

// Runs a program with arguments in a folder; returns its exit code (-1 when it
// cannot start). Output is collected into *output when given.
int Run(const QString& program, const QStringList& arguments, const QString& workingFolder = {},
        QByteArray* output = nullptr);
// True when the program is found on PATH.
bool HaveProgram(const QString& program);

}  // namespace testing_support

#define RK_REQUIRE_PROGRAM(name)                                                           \
  do {                                                                                     \
    if (!::testing_support::HaveProgram(name))                                             \
      GTEST_SKIP() << name << " is not installed; install it with ./test.sh";              \
  } while (0)
