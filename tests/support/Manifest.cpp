// See Manifest.h.
#include "tests/support/Manifest.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include "tests/support/TestSupport.h"

namespace testing_support {

const std::vector<ManifestRow>& ManifestRows() {
  static const std::vector<ManifestRow> rows = [] {
    std::vector<ManifestRow> out;
    QFile f(Sample("MANIFEST.tsv"));
    if (!f.open(QIODevice::ReadOnly)) return out;
    bool header = true;
    while (!f.atEnd()) {
      const QString line = QString::fromUtf8(f.readLine()).remove('\n').remove('\r');
      if (line.isEmpty() || line.startsWith('#')) continue;
      if (header) {  // the column names
        header = false;
        continue;
      }
      const QStringList c = line.split('\t');
      if (c.size() < 8) continue;
      out.push_back({c[0], c[1], c[2], c[5], c[6], c[7], c.size() > 8 ? c[8] : QString()});
    }
    return out;
  }();
  // Every caller walks these rows: with none, its test would pass having checked nothing.
  if (rows.empty()) ADD_FAILURE() << "tests/data/MANIFEST.tsv is missing or has no rows";
  return rows;
}

std::vector<ManifestRow> ManifestRowsOf(const QString& file) {
  std::vector<ManifestRow> out;
  for (const auto& row : ManifestRows())
    if (row.file == file) out.push_back(row);
  return out;
}

QStringList ManifestFiles(const QString& prefix) {
  QStringList out;
  for (const auto& row : ManifestRows())
    if (row.file.startsWith(prefix) && !out.contains(row.file)) out << row.file;
  return out;
}

QString CompareWithManifest(const QString& folder, const QString& file) {
  QStringList problems;
  QSet<QString> expected;
  for (const auto& row : ManifestRowsOf(file)) {
    if (row.expect != "ok" && row.expect != "partial") continue;
    if (row.member.isEmpty()) continue;
    const QString path = folder + "/" + row.member;
    if (row.member.endsWith('/')) {
      expected << row.member;
      if (!QFileInfo(path).isDir()) problems << "missing folder " + row.member;
      continue;
    }
    // Each parent folder of a listed file is expected as well.
    QString parent = row.member;
    while (parent.lastIndexOf('/') > 0) {
      parent = parent.left(parent.lastIndexOf('/'));
      expected << parent + "/";
    }
    expected << row.member;
    if (row.sha256.startsWith("symlink:")) {
      const QFileInfo info(path);
      if (!info.isSymLink()) problems << "missing symlink " + row.member;
      continue;
    }
    const QFileInfo info(path);
    if (!info.isFile()) {
      problems << "missing file " + row.member;
      continue;
    }
    if (QString::number(info.size()) != row.size)
      problems << QString("size of %1: %2, expected %3").arg(row.member).arg(info.size()).arg(row.size);
    if (!row.sha256.startsWith("crc16:") && row.sha256 != "-" &&
        QString::fromLatin1(Sha256Hex(ReadFile(path))) != row.sha256)
      problems << "content of " + row.member + " differs";
  }
  for (const QString& entry : Tree(folder))
    if (!expected.contains(entry)) problems << "unexpected " + entry;
  return problems.join("; ");
}

}  // namespace testing_support
