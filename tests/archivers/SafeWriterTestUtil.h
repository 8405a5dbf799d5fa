// Helpers for the safe writer tests: a writer on a fresh output folder with a
// sentinel file beside it, and one-call member writes.
#pragma once

#include <sys/stat.h>

#include <memory>
#include <string>

#include "archivers/common/SafeWriter.h"
#include "tests/support/TestSupport.h"

namespace testing_support {

class WriterBench {
 public:
  WriterBench();
  // The output folder (tmp/out) and the temporary folder holding it.
  std::string out() const { return m_tmp.file("out").toStdString(); }
  std::string outFile(const std::string& relative) const { return out() + "/" + relative; }
  const TempFolder& tmp() const { return m_tmp; }

  rkarc::SafeWriter& writer(rkarc::SafeWriter::Options options = {});
  const std::string& report() const { return m_report.text(); }

  // A file member with `content` written, neither committed nor aborted;
  // null when it could not be begun or written.
  std::unique_ptr<rkarc::MemberSink> writing(const std::string& name, const std::string& content, uint32_t mode = 0644,
                                             rkarc::NameCharset charset = rkarc::NameCharset::Auto);
  // One file member written whole and committed; false when it was not written.
  bool file(const std::string& name, const std::string& content, uint32_t mode = 0644,
            rkarc::NameCharset charset = rkarc::NameCharset::Auto);
  void entry(const std::string& name, rkarc::MemberType type, const std::string& target = {},
             uint32_t mode = 0);

  // Every entry under the temporary folder, relative to it, apart from the
  // output folder's own content: only "out/" and "sentinel.txt" may be there.
  QStringList outside() const;

 private:
  TempFolder m_tmp;
  char m_buffer[4096] = {};
  rkarc::Report m_report{m_buffer, sizeof m_buffer};
  std::unique_ptr<rkarc::SafeWriter> m_writer;
};

std::string ReadText(const std::string& path);
bool IsSymlink(const std::string& path);
mode_t CurrentUmask();

}  // namespace testing_support
