// LZH test archive builder; see LzhTestArchive.h.
#include "tests/archivers/LzhTestArchive.h"

#include <algorithm>
#include <vector>

#include "archivers/unlha32/Crc16.h"

namespace testing_support {
namespace {

void Le(QByteArray& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.append(static_cast<char>(i < 8 ? (value >> (8 * i)) & 0xFF : 0));
}

void Be(QByteArray& out, uint32_t value) {
  for (int i = 3; i >= 0; --i) out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint16_t Crc(const QByteArray& data) {
  return rkarc::Crc16::Of(reinterpret_cast<const uint8_t*>(data.constData()), static_cast<size_t>(data.size()));
}

// Method, sizes, a fixed time, attribute and level: bytes 2 to 20 of every level.
void Common(QByteArray& h, const LzhTestMember& m, int level) {
  h.append(m.method, 5);
  Le(h, static_cast<uint64_t>(m.packed.isNull() ? m.data.size() : m.packed.size()), 4);
  Le(h, static_cast<uint64_t>(m.data.size()), 4);
  Le(h, level == 0 ? 0x5A215C00u : 1700000000u, 4);  // DOS 2025-01-01 11:32 / Unix 2023-11-14
  h.append(static_cast<char>(0x20));
  h.append(static_cast<char>(level));
}

// One command of an LZ77 stream: a literal byte, or `length` bytes copied
// from ring position `from`.
struct Command {
  uint8_t literal;
  int from;
  int length;  // 0 for a literal
};

// Greedy: a copy wherever at least `shortest` bytes repeat `distance` back.
// The ring's first byte written is at `start`.
std::vector<Command> Commands(const QByteArray& data, int distance, int ring, int start, int shortest, int longest) {
  std::vector<Command> out;
  for (int i = 0; i < data.size();) {
    int length = 0;
    while (i >= distance && length < longest && i + length < data.size() &&
           data[i + length] == data[i + length - distance])
      ++length;
    if (length >= shortest) {
      out.push_back({0, (start + i - distance) % ring, length});
      i += length;
    } else {
      out.push_back({static_cast<uint8_t>(data[i]), 0, 0});
      ++i;
    }
  }
  return out;
}

}  // namespace

QByteArray Lz5Stream(const QByteArray& data, int distance) {
  const std::vector<Command> commands = Commands(data, distance, 4096, 4096 - 18, 3, 18);
  QByteArray out;
  for (size_t group = 0; group < commands.size(); group += 8) {
    const qsizetype flagAt = out.size();
    out.append('\0');
    for (size_t i = group; i < std::min(group + 8, commands.size()); ++i) {
      const Command& c = commands[i];
      if (c.length == 0) {
        out[flagAt] = static_cast<char>(out[flagAt] | (1 << (i - group)));
        out.append(static_cast<char>(c.literal));
      } else {
        out.append(static_cast<char>(c.from & 0xFF));
        out.append(static_cast<char>(((c.from >> 4) & 0xF0) | (c.length - 3)));
      }
    }
  }
  return out;
}

QByteArray LzsStream(const QByteArray& data, int distance) {
  QByteArray out;
  uint32_t bits = 0;
  int count = 0;
  const auto put = [&](uint32_t value, int width) {  // most significant bit first
    for (int b = width - 1; b >= 0; --b) {
      bits = (bits << 1) | ((value >> b) & 1);
      if (++count == 8) {
        out.append(static_cast<char>(bits));
        bits = 0;
        count = 0;
      }
    }
  };
  for (const Command& c : Commands(data, distance, 2048, 2048 - 17, 2, 17)) {
    if (c.length == 0) {
      put(1, 1);
      put(c.literal, 8);
    } else {
      put(0, 1);
      put(static_cast<uint32_t>(c.from), 11);
      put(static_cast<uint32_t>(c.length - 2), 4);
    }
  }
  if (count > 0) out.append(static_cast<char>(bits << (8 - count)));
  return out;
}

QByteArray LzhExtended(char id, const QByteArray& data) {
  QByteArray r;
  Le(r, static_cast<uint64_t>(data.size() + 3), 2);
  r.append(id);
  r.append(data);
  return r;
}

QByteArray LzhLevel0(const LzhTestMember& m) {
  QByteArray h(2, '\0');
  Common(h, m, 0);
  h.append(static_cast<char>(m.name.size()));
  h.append(m.name);
  Le(h, Crc(m.data), 2);
  h[0] = static_cast<char>(h.size() - 2);
  unsigned sum = 0;
  for (int i = 2; i < h.size(); ++i) sum += static_cast<uint8_t>(h[i]);
  h[1] = static_cast<char>(sum & 0xFF);
  return h + (m.packed.isNull() ? m.data : m.packed);
}

QByteArray LzhLevel2(const LzhTestMember& m) {
  // The chain, as records of (size, id, data); each record's size field is
  // moved to the end of the record before it, as the format stores them.
  const QByteArray records = LzhExtended('\x00', QByteArray(2, '\0')) + LzhExtended('\x01', m.name) + m.extra;
  QByteArray h;
  Le(h, 0, 2);
  Common(h, m, 2);
  Le(h, Crc(m.data), 2);
  h.append(m.os);
  h.append(records.left(2));  // first record's size
  for (int at = 0; at < records.size();) {
    const int size = static_cast<uint8_t>(records[at]) | (static_cast<uint8_t>(records[at + 1]) << 8);
    h.append(records.mid(at + 2, size - 2));
    at += size;
    h.append(at < records.size() ? records.mid(at, 2) : QByteArray(2, '\0'));
  }
  h.append(QByteArray(m.padding, '\0'));
  h[0] = static_cast<char>(h.size() & 0xFF);
  h[1] = static_cast<char>(h.size() >> 8);
  const uint16_t crc = Crc(h);  // the CRC field (at 27) is still zero
  h[27] = static_cast<char>(crc & 0xFF);
  h[28] = static_cast<char>(crc >> 8);
  return h + (m.packed.isNull() ? m.data : m.packed);
}

QByteArray MzStub(int imageEnd) {
  QByteArray s(imageEnd, '\x90');
  s[0] = 'M';
  s[1] = 'Z';
  const int pages = (imageEnd + 511) / 512;
  s[2] = static_cast<char>((imageEnd % 512) & 0xFF);
  s[3] = static_cast<char>((imageEnd % 512) >> 8);
  s[4] = static_cast<char>(pages & 0xFF);
  s[5] = static_cast<char>(pages >> 8);
  for (int i = 0x3C; i < 0x40; ++i) s[i] = 0;
  return s;
}

QByteArray PeStub(int imageEnd) {
  // The DOS part claims 128 bytes; one section ends the image at imageEnd.
  QByteArray s = MzStub(128);
  s[0x3C] = static_cast<char>(0x80);
  QByteArray pe("PE\0\0", 4);
  Le(pe, 0x14C, 2);  // machine
  Le(pe, 1, 2);      // sections
  Le(pe, 0, 12);
  Le(pe, 0, 2);      // size of the optional header
  Le(pe, 0x102, 2);
  QByteArray section(".text\0\0\0", 8);
  Le(section, 0, 8);
  Le(section, static_cast<uint64_t>(imageEnd - 512), 4);  // raw size
  Le(section, 512, 4);                                   // raw data pointer
  Le(section, 0, 16);
  s += pe + section;
  s += QByteArray(imageEnd - s.size(), '\xCC');
  return s;
}

QByteArray HuStub(int imageEnd) {
  QByteArray s("HU\0\0", 4);
  Be(s, 0);  // base
  Be(s, 0);  // entry
  Be(s, static_cast<uint32_t>(imageEnd - 0x40 - 16));  // text
  Be(s, 16);                                          // data
  Be(s, 0x1000);                                      // bss: not in the file
  for (int i = 0; i < 9; ++i) Be(s, 0);               // relocations, symbols, debugger tables, ...
  s += QByteArray(imageEnd - s.size(), '\x4E');
  return s;
}

QByteArray AmigaStub(const QByteArray& data) {
  QByteArray padded = data;
  padded.append((4 - padded.size() % 4) % 4, '\0');
  const auto longs = static_cast<uint32_t>(padded.size() / 4);
  QByteArray s;
  for (uint32_t v : {0x3F3u, 0u, 2u, 0u, 1u, 1u, longs}) Be(s, v);  // header: no libraries, hunks 0-1 and their sizes
  for (uint32_t v : {0x3E9u, 1u, 0x4E750000u, 0x3F2u}) Be(s, v);    // code: rts; end
  Be(s, 0x3EA);
  Be(s, longs);
  return s + padded + QByteArray("\0\0\x03\xF2", 4);  // data; end
}

}  // namespace testing_support
