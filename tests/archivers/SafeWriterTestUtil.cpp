// See SafeWriterTestUtil.h.
#include "tests/archivers/SafeWriterTestUtil.h"

#include <QFileInfo>

namespace testing_support {

WriterBench::WriterBench() {
  m_tmp.mkdir("out");
  m_tmp.write("sentinel.txt", "sentinel");
}

rkarc::SafeWriter& WriterBench::writer(rkarc::SafeWriter::Options options) {
  if (!m_writer) m_writer = std::make_unique<rkarc::SafeWriter>(out(), options, m_report);
  return *m_writer;
}

std::unique_ptr<rkarc::MemberSink> WriterBench::writing(const std::string& name, const std::string& content,
                                                       uint32_t mode, rkarc::NameCharset charset) {
  rkarc::Member m;
  m.name = name;
  m.charset = charset;
  m.mode = mode;
  m.size = content.size();
  auto sink = writer().begin(m);
  if (!sink || !sink->write(content.data(), content.size())) return nullptr;
  return sink;
}

bool WriterBench::file(const std::string& name, const std::string& content, uint32_t mode,
                       rkarc::NameCharset charset) {
  auto sink = writing(name, content, mode, charset);
  return sink && sink->commit();
}

void WriterBench::entry(const std::string& name, rkarc::MemberType type, const std::string& target,
                        uint32_t mode) {
  rkarc::Member m;
  m.name = name;
  m.type = type;
  m.linkTarget = target;
  m.mode = mode;
  EXPECT_EQ(writer().begin(m), nullptr);
}

QStringList WriterBench::outside() const {
  QStringList out;
  for (const QString& entry : Tree(m_tmp.path()))
    if (!entry.startsWith("out/") && entry != "sentinel.txt") out << entry;
  if (ReadFile(m_tmp.file("sentinel.txt")) != "sentinel") out << "sentinel.txt changed";
  return out;
}

std::string ReadText(const std::string& path) { return ReadFile(QString::fromStdString(path)).toStdString(); }

bool IsSymlink(const std::string& path) { return QFileInfo(QString::fromStdString(path)).isSymLink(); }

mode_t CurrentUmask() {
  const mode_t mask = umask(022);
  umask(mask);
  return mask;
}

}  // namespace testing_support
