// Hands the files decoded from ISH text to the safe writer: one member per
// file, named by the header's name reduced to a bare file name, committed only
// after the file CRC (and for a volume set the whole file's CRCs) matched.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "archivers/common/MemberMatcher.h"
#include "archivers/common/Report.h"
#include "archivers/common/SafeWriter.h"
#include "archivers/ish32/IshFileTarget.h"

namespace rkarc {

class IshExtractor : public IshFileTarget {
 public:
  // members: the names to extract; MemberMatcher::all() for every file.
  IshExtractor(SafeWriter& writer, Report& report, MemberMatcher& members);

  bool begin(const IshHeader& header) override;
  bool write(const uint8_t* data, size_t size) override;
  void end(bool ok, int32_t code, std::string_view reason) override;
  void fail(const IshHeader& header, int32_t code, std::string_view reason) override;
  bool stopped() const override { return m_writer.stopped(); }

 private:
  bool wanted(const IshHeader& header);

  SafeWriter& m_writer;
  Report& m_report;
  MemberMatcher& m_members;
  std::unique_ptr<MemberSink> m_sink;
};

}  // namespace rkarc
