// The fixtures' MANIFEST.tsv: one row per expected member, and a check
// that an extracted folder holds exactly what the rows of an archive say.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace testing_support {

struct ManifestRow {
  QString file;    // relative to testdata, e.g. "lzh/lh5_h0.lzh"
  QString kind;
  QString expect;  // ok, partial, refuse, unsupported, fail, undetectable, none, safe
  QString member;  // UTF-8 path; folders end in "/"
  QString size;
  QString sha256;  // "-" for folders, "symlink:X", "crc16:X"
  QString note;
};

// Every row of MANIFEST.tsv; a missing or empty manifest fails the calling test.
const std::vector<ManifestRow>& ManifestRows();
// The rows of one archive.
std::vector<ManifestRow> ManifestRowsOf(const QString& file);
// The archives whose path starts with `prefix` (e.g. "lzh/"), each once, in manifest order.
QStringList ManifestFiles(const QString& prefix);

// Compares the tree under `folder` with the "ok"/"partial" rows of `file`:
// every listed file present with its size and sha256, every listed folder
// present, and nothing else. Returns an empty string or a description of
// every difference.
QString CompareWithManifest(const QString& folder, const QString& file);

}  // namespace testing_support
