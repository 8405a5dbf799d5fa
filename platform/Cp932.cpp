// CP932 conversion on glibc iconv; see Cp932.h.
#include "platform/Cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace cp932 {
namespace {

// One iconv descriptor per call: conversions are rare and short, and this keeps
// the functions free of shared state across threads.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(m_cd);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

  // Converts one unit; returns false when the input at `in` is not convertible.
  bool convert(const char*& in, size_t& inLeft, std::string& out) {
    char buffer[256];
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      size_t rc = iconv(m_cd, const_cast<char**>(&in), &inLeft, &outPtr, &outLeft);
      out.append(buffer, static_cast<size_t>(outPtr - buffer));
      if (rc == static_cast<size_t>(-1)) {
        if (errno == E2BIG) continue;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        return false;
      }
    }
    return true;
  }

 private:
  iconv_t m_cd;
};

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

size_t Utf8SequenceLength(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  size_t len = 0;
  uint32_t min = 0;
  uint32_t cp = 0;
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) { len = 2; min = 0x80; cp = c & 0x1F; }
  else if ((c & 0xF0) == 0xE0) { len = 3; min = 0x800; cp = c & 0x0F; }
  else if ((c & 0xF8) == 0xF0) { len = 4; min = 0x10000; cp = c & 0x07; }
  else return 0;
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    const auto t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (t & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const size_t len = Utf8SequenceLength(bytes, i);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::string ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  Iconv cd("UTF-8", "CP932");
  if (!cd.ok()) {
    for (unsigned char c : bytes) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
  }
  {
    const char* in = bytes.data();
    size_t inLeft = bytes.size();
    if (cd.convert(in, inLeft, out)) return out;
    out.clear();
  }
  // Character by character, so that one undecodable byte costs one U+FFFD
  // and the rest of the text still decodes: a lead byte that forms no
  // character with the next byte stands alone, and the next byte is read
  // again (so EUC-JP "漢字.txt" keeps its ".txt"), as the WHATWG and
  // Python decoders do.
  size_t i = 0;
  while (i < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const size_t len = (IsLeadByte(c) && i + 1 < bytes.size()) ? 2 : 1;
    const char* in = bytes.data() + i;
    size_t inLeft = len;
    if (cd.convert(in, inLeft, out)) {
      i += len;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out;
}

std::string FromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  Iconv cd("CP932", "UTF-8");
  if (cd.ok() && IsValidUtf8(utf8)) {
    const char* in = utf8.data();
    size_t inLeft = utf8.size();
    if (cd.convert(in, inLeft, out)) return out;
    out.clear();
  }
  for (size_t i = 0; i < utf8.size();) {
    const size_t len = Utf8SequenceLength(utf8, i);
    if (len == 0) {
      out += '?';
      ++i;
      continue;
    }
    const char* in = utf8.data() + i;
    size_t inLeft = len;
    if (!cd.ok() || !cd.convert(in, inLeft, out)) out += '?';
    i += len;
  }
  return out;
}

}  // namespace cp932
