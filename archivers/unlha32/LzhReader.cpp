// Member iteration with recovery after damage; see LzhReader.h.
#include "archivers/unlha32/LzhReader.h"

#include "archivers/common/ResultCodes.h"

namespace rkarc {

bool LzhReader::open() {
  const auto location = m_locator.find();
  if (!location) return false;
  m_location = *location;
  m_offset = location->offset;
  m_done = false;
  return true;
}

LzhReader::Entry LzhReader::next() {
  Entry entry;
  if (m_done) return entry;
  HeaderResult r = m_parser.parse(m_offset);
  switch (r.status) {
    case HeaderStatus::Ok: {
      const uint64_t size = m_file.size();
      if (r.header.compressedSize > size || r.header.endOffset() > size)
        m_done = true;  // the data is cut off: nothing can follow
      else
        m_offset = r.header.endOffset();
      entry.kind = Entry::Kind::Member;
      entry.header = std::move(r.header);
      return entry;
    }
    case HeaderStatus::End:
      m_done = true;
      return entry;
    case HeaderStatus::NotHeader: {
      if (m_locator.onlyPaddingFrom(m_offset)) {
        m_done = true;
        return entry;
      }
      const uint64_t at = m_offset;
      if (const auto resume = m_locator.resync(at + 1, m_file.size())) {
        m_offset = *resume;
        return damage(HeaderStatus::Damaged, "読めないデータがあります（" + std::to_string(at) + " バイト目から " +
                                                 std::to_string(*resume - at) + " バイトを飛ばしました）");
      }
      m_trailing = m_file.size() - at;
      m_done = true;
      return entry;
    }
    case HeaderStatus::Truncated:
      m_done = true;
      return damage(r.status, r.reason + "（" + std::to_string(m_offset) + " バイト目）");
    case HeaderStatus::Damaged:
    case HeaderStatus::BadChecksum: {
      const std::string reason = r.reason + "（" + std::to_string(m_offset) + " バイト目）";
      if (const auto resume = resumeAfterDamage(m_offset))
        m_offset = *resume;
      else
        m_done = true;
      return damage(r.status, reason);
    }
  }
  return entry;
}

// Where reading goes on after a header that failed its test: where the
// header said its data ends, when a valid header (or the end) is there, so
// that a stored archive inside the damaged member is not taken for members
// of this one; otherwise the next header that verifies.
std::optional<uint64_t> LzhReader::resumeAfterDamage(uint64_t at) const {
  const HeaderResult loose = m_parser.parse(at, false);
  const uint64_t size = m_file.size();
  if (loose.status == HeaderStatus::Ok && loose.header.compressedSize <= size && loose.header.endOffset() <= size) {
    const uint64_t end = loose.header.endOffset();
    const HeaderStatus next = m_parser.parse(end).status;
    if (next == HeaderStatus::Ok || next == HeaderStatus::End) return end;
  }
  return m_locator.resync(at + 1, size);
}

LzhReader::Entry LzhReader::damage(HeaderStatus status, const std::string& reason) {
  Entry entry;
  entry.kind = Entry::Kind::Damage;
  entry.code = status == HeaderStatus::BadChecksum ? kErrChecksum : kErrDamaged;
  entry.reason = reason;
  return entry;
}

}  // namespace rkarc
