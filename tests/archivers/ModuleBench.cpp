// See ModuleBench.h.
#include "tests/archivers/ModuleBench.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>

#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

#include "tests/support/Manifest.h"

namespace testing_support {

int32_t ModuleBench::extract(const std::string& options, const QString& archive, const QStringList& members) {
  std::string command = options + " \"" + archive.toStdString() + "\" \"" + out().toStdString() + "/\"";
  for (const QString& m : members) command += " \"" + m.toStdString() + "\"";
  return m_module.command(command, &m_report);
}

int32_t ModuleBench::run(const std::string& options, const QString& archive, const QString& second) {
  return m_module.command(options + " \"" + archive.toStdString() + "\" \"" + second.toStdString() + "\"", &m_report);
}

QStringList ModuleBench::outside() const {
  QStringList found;
  for (const QString& entry : Tree(m_tmp.path()))
    if (!entry.startsWith("out/") && entry != "sentinel.txt") found << entry;
  if (ReadFile(m_tmp.file("sentinel.txt")) != "sentinel") found << "sentinel.txt changed";
  return found;
}

QString HalfWrittenFiles(const QString& folder) {
  QSet<QString> good;
  for (const auto& row : ManifestRows())
    if (row.expect == "ok" || row.expect == "partial") good << row.sha256;
  QStringList problems;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    if (it.fileInfo().fileName().startsWith(".rukasu2-")) problems << "temporary file " + path;
    else if (!it.fileInfo().isSymLink() && !good.contains(QString::fromLatin1(Sha256Hex(ReadFile(path)))))
      problems << "half-written " + QDir(folder).relativeFilePath(path);
  }
  return problems.join("; ");
}

void ForEachLocale(const std::function<void(const char* locale)>& check) {
  const std::string previous = setlocale(LC_ALL, nullptr);
  for (const char* locale : {"C.UTF-8", "C"}) {
    ASSERT_NE(setlocale(LC_ALL, locale), nullptr) << locale;
    SCOPED_TRACE(locale);
    check(locale);
  }
  setlocale(LC_ALL, previous.c_str());
}

void MakeCp932Tree(const QString& folder) {
  const std::string dir = folder.toStdString() + "/\x95\x5C";
  ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
  const int fd = ::open((dir + "/\x94\x5C\x83\x5C.txt").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, "cp932", 5), 5);
  ::close(fd);
}

QByteArray ExecutableStub(int size) {
  QByteArray stub(size, '\0');
  stub[0] = 'M';
  stub[1] = 'Z';
  for (int i = 64; i < size; ++i) stub[i] = static_cast<char>((static_cast<unsigned>(i) * 7919u) >> 3);
  return stub;
}

}  // namespace testing_support
