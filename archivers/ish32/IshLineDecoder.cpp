// Bit unpacking of the four ISH line formats. Every variant fills the record
// from a bit stream least significant bit first; they differ in how many bits
// each character or character group carries.
#include "archivers/ish32/IshLineDecoder.h"

#include "archivers/ish32/IshAlphabet.h"

namespace rkarc {
namespace {

class BitPacker {
 public:
  explicit BitPacker(IshRecord& record) : m_record(record) {}

  void put(uint32_t value, int width) {
    for (int i = 0; i < width; ++i, ++m_bit) {
      if (m_bit >= m_record.length * 8) continue;  // padding beyond the record
      if ((value >> i) & 1) m_record.bytes[m_bit / 8] |= static_cast<uint8_t>(1 << (m_bit % 8));
    }
  }
  bool full() const { return m_bit >= m_record.length * 8; }

 private:
  IshRecord& m_record;
  int m_bit = 0;
};

uint8_t At(std::string_view line, size_t i) { return static_cast<uint8_t>(line[i]); }

bool IsSjisLead(uint8_t byte) { return (byte >= 0x80 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xE9); }

// 4 characters of 6 bits, then 37 pairs of 13 bits.
bool UnpackJis7(std::string_view line, BitPacker& out) {
  const IshAlphabet& set = IshAlphabet::jis7();
  for (size_t i = 0; i < 4; ++i) {
    const int v = set.value(At(line, i));
    if (v < 0 || v > 63) return false;
    out.put(static_cast<uint32_t>(v), 6);
  }
  for (size_t i = 4; i + 1 < 78; i += 2) {
    const int a = set.value(At(line, i));
    const int b = set.value(At(line, i + 1));
    if (a < 0 || b < 0 || a * 91 + b >= 8192) return false;
    out.put(static_cast<uint32_t>(a * 91 + b), 13);
  }
  return true;
}

// 79 characters of 7 bits.
bool UnpackJis8(std::string_view line, BitPacker& out) {
  for (size_t i = 0; i < 79; ++i) {
    const int v = IshAlphabet::jis8().value(At(line, i));
    if (v < 0) return false;
    out.put(static_cast<uint32_t>(v), 7);
  }
  return true;
}

// One jis8 character of 7 bits, 38 pairs of 15 bits with a lead/trail state
// that keeps the text valid Shift_JIS, and a last character of 7 bits.
bool UnpackSjis(std::string_view line, BitPacker& out) {
  const int first = IshAlphabet::jis8().value(At(line, 0));
  if (first < 0) return false;
  out.put(static_cast<uint32_t>(first), 7);
  bool trail = false;
  auto next = [&](uint8_t byte) {
    if (trail) {
      trail = false;
      return IshAlphabet::sjisTrail().value(byte);
    }
    trail = IsSjisLead(byte);
    return IshAlphabet::sjisLead().value(byte);
  };
  for (size_t i = 1; i + 1 < 78; i += 2) {
    const int a = next(At(line, i));
    const int b = next(At(line, i + 1));
    if (a < 0 || b < 0 || a * 182 + b >= 32768) return false;
    out.put(static_cast<uint32_t>(a * 182 + b), 15);
  }
  uint8_t last = At(line, 77);
  int v;
  if (trail) {
    v = IshAlphabet::sjisTrail().value(last);
  } else {
    // The encoder never ends a line with a lead byte: 0x89-0x9F is written 0x40 higher.
    if (last >= 0xC9 && last <= 0xDF) last = static_cast<uint8_t>(last - 0x40);
    v = IshAlphabet::sjisLead().value(last);
  }
  if (v < 0 || v >= 128) return false;
  out.put(static_cast<uint32_t>(v), 7);
  return true;
}

// Record byte 0 whole, then groups of 2 or 3 characters of 7 bits each.
bool UnpackNonKana(std::string_view line, BitPacker& out) {
  const IshAlphabet& ascii = IshAlphabet::jis7();
  const IshAlphabet& lead = IshAlphabet::nonKana();
  const IshAlphabet& trail = IshAlphabet::sjisTrail();
  const int first = ascii.value(At(line, 0));
  if (first < 0) return false;
  out.put(static_cast<uint32_t>(first), 8);
  size_t pos = 1;
  size_t used = 0;
  // A group needs at most 3 characters; the line has 79.
  while (used <= 75) {
    const int v1 = lead.value(At(line, pos));
    if (v1 < 0) return false;
    if (v1 < 91) {
      const int v2 = lead.value(At(line, pos + 1));
      if (v2 < 0) return false;
      out.put(static_cast<uint32_t>(v1 * 123 + v2), 14);
      pos += 2;
      used += 2;
      if (v2 >= 91) {
        const int v3 = trail.value(At(line, pos));
        if (v3 < 0 || v3 >= 128) return false;
        out.put(static_cast<uint32_t>(v3), 7);
        pos += 1;
        used += 1;
      }
    } else {
      const int v2 = trail.value(At(line, pos + 1));
      if (v2 < 0) return false;
      const int value = 11193 + (v1 - 91) * 182 + v2;
      if (value >= 16384) return false;
      out.put(static_cast<uint32_t>(value), 14);
      pos += 2;
      used += 2;
    }
  }
  if (used == 76) {
    const int a = ascii.value(At(line, pos));
    const int b = ascii.value(At(line, pos + 1));
    if (a < 0 || b < 0 || a * 91 + b >= 8192) return false;
    out.put(static_cast<uint32_t>(a * 91 + b), 13);
  } else if (used == 77) {
    const int a = ascii.value(At(line, pos));
    if (a < 0) return false;
    out.put(static_cast<uint32_t>(a & 63), 6);
  }
  return out.full();
}

}  // namespace

int IshLineLength(IshVariant variant) {
  return variant == IshVariant::Jis7 || variant == IshVariant::Sjis ? 78 : 79;
}

std::optional<IshRecord> DecodeIshLine(std::string_view line, IshVariant variant) {
  const size_t length = static_cast<size_t>(IshLineLength(variant));
  if (line.size() < length) return std::nullopt;
  line = line.substr(0, length);
  IshRecord record;
  record.length = IshRecordLength(variant);
  BitPacker out(record);
  bool ok = false;
  switch (variant) {
    case IshVariant::Jis7: ok = UnpackJis7(line, out); break;
    case IshVariant::Jis8: ok = UnpackJis8(line, out); break;
    case IshVariant::Sjis: ok = UnpackSjis(line, out); break;
    case IshVariant::NonKana: ok = UnpackNonKana(line, out); break;
  }
  if (!ok || !record.crcValid()) return std::nullopt;
  return record;
}

}  // namespace rkarc
