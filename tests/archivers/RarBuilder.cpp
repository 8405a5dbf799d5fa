// RAR archive and volume set builder; see RarBuilder.h.
#include "tests/archivers/RarBuilder.h"

#include <zlib.h>

#include <algorithm>

namespace testing_support {
namespace {

QByteArray Le(uint64_t value, int bytes) {
  QByteArray out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
  return out;
}

uint64_t ReadLe(const QByteArray& data, int at, int bytes) {
  uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= static_cast<uint64_t>(static_cast<uint8_t>(data[at + i])) << (8 * i);
  return value;
}

QByteArray Vint(uint64_t value) {
  QByteArray out;
  do {
    out += static_cast<char>((value & 0x7F) | (value > 0x7F ? 0x80 : 0));
    value >>= 7;
  } while (value != 0);
  return out;
}

uint64_t ReadVint(const QByteArray& data, int& at) {
  uint64_t value = 0;
  for (int shift = 0; at < data.size(); shift += 7) {
    const auto byte = static_cast<uint8_t>(data[at++]);
    value |= static_cast<uint64_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) break;
  }
  return value;
}

// One part of a member in one volume.
struct Part {
  const RarMember* member;
  QByteArray data;
  bool before, after;  // continued from the previous volume / into the next
  uint32_t crc() const { return after ? Crc32(data) : member->crc; }
};

// Which parts go into which volume: each volume takes at most `perVolume` packed bytes.
QList<QList<Part>> Split(const std::vector<RarMember>& members, int perVolume) {
  QList<QList<Part>> volumes(1);
  int room = perVolume;
  for (const RarMember& m : members) {
    int at = 0;
    do {
      if (room == 0) {
        volumes.append(QList<Part>());
        room = perVolume;
      }
      const int n = std::min<int>(room, static_cast<int>(m.packed.size()) - at);
      volumes.last().append({&m, m.packed.mid(at, n), at > 0, at + n < m.packed.size()});
      at += n;
      room -= n;
    } while (at < m.packed.size());
  }
  return volumes;
}

// RAR 4: HEAD_CRC (low 16 bits of the CRC-32 of the rest), then the rest.
QByteArray Block4(const QByteArray& rest) { return Le(Crc32(rest) & 0xFFFF, 2) + rest; }

// RAR 5: CRC-32 of the size and body, the size, then the body.
QByteArray Block5(const QByteArray& body) {
  const QByteArray sized = Vint(static_cast<uint64_t>(body.size())) + body;
  return Le(Crc32(sized), 4) + sized;
}

}  // namespace

uint32_t Crc32(const QByteArray& data) {
  return static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(data.constData()), static_cast<uInt>(data.size())));
}

RarMember StoredRarMember(const QByteArray& name, const QByteArray& data) {
  return {name, data, static_cast<uint64_t>(data.size()), Crc32(data)};
}

RarMember FirstRar4Member(const QByteArray& archive) {
  for (int at = 7; at + 7 <= archive.size();) {
    const auto type = static_cast<uint8_t>(archive[at + 2]);
    const auto flags = static_cast<uint16_t>(ReadLe(archive, at + 3, 2));
    const auto size = static_cast<int>(ReadLe(archive, at + 5, 2));
    const auto data = (type == 0x74 || (flags & 0x8000)) ? static_cast<int>(ReadLe(archive, at + 7, 4)) : 0;
    if (type == 0x74) {
      RarMember m;
      m.name = archive.mid(at + 32, static_cast<int>(ReadLe(archive, at + 26, 2)));
      m.packed = archive.mid(at + size, data);
      m.size = ReadLe(archive, at + 11, 4);
      m.crc = static_cast<uint32_t>(ReadLe(archive, at + 16, 4));
      m.version = static_cast<uint8_t>(archive[at + 24]);
      m.method = static_cast<uint8_t>(archive[at + 25]);
      m.flags = flags & 0x00E0;  // the dictionary size
      return m;
    }
    at += size + data;
  }
  return {};
}

RarMember FirstRar5Member(const QByteArray& archive) {
  for (int at = 8; at + 4 < archive.size();) {
    int p = at + 4;
    const uint64_t size = ReadVint(archive, p);
    const int end = p + static_cast<int>(size);
    const uint64_t type = ReadVint(archive, p), flags = ReadVint(archive, p);
    if (flags & 1) ReadVint(archive, p);
    const uint64_t data = (flags & 2) ? ReadVint(archive, p) : 0;
    if (type == 2) {
      RarMember m;
      const uint64_t fileFlags = ReadVint(archive, p);
      m.size = ReadVint(archive, p);
      ReadVint(archive, p);  // attributes
      if (fileFlags & 2) p += 4;
      if (fileFlags & 4) {
        m.crc = static_cast<uint32_t>(ReadLe(archive, p, 4));
        p += 4;
      }
      m.compression = ReadVint(archive, p);
      ReadVint(archive, p);  // host system
      const auto nameSize = static_cast<int>(ReadVint(archive, p));
      m.name = archive.mid(p, nameSize);
      m.packed = archive.mid(end, static_cast<int>(data));
      return m;
    }
    at = end + static_cast<int>(data);
  }
  return {};
}

QList<QByteArray> Rar4Volumes(const std::vector<RarMember>& members, int perVolume) {
  const QList<QList<Part>> parts = Split(members, perVolume);
  QList<QByteArray> out;
  for (qsizetype v = 0; v < parts.size(); ++v) {
    const bool set = parts.size() > 1, last = v + 1 == parts.size();
    // a volume, named name.partN.rar, the first one
    const uint16_t mainFlags = set ? (0x0001 | 0x0010 | (v == 0 ? 0x0100 : 0)) : 0;
    QByteArray rar = QByteArray("Rar!\x1A\x07\x00", 7) + Block4(QByteArray("\x73", 1) + Le(mainFlags, 2) + Le(13, 2) + QByteArray(6, '\0'));
    for (const Part& p : parts[v]) {
      const RarMember& m = *p.member;
      const uint16_t flags = 0x8000 | m.flags | (p.before ? 0x01 : 0) | (p.after ? 0x02 : 0);
      QByteArray head = QByteArray("\x74", 1) + Le(flags, 2) + Le(32 + m.name.size(), 2);
      head += Le(p.data.size(), 4) + Le(m.size, 4) + QByteArray(1, m.onUnix ? '\x03' : '\x02') + Le(p.crc(), 4);
      head += Le(0x5A210000, 4) + QByteArray(1, static_cast<char>(m.version)) +
              QByteArray(1, static_cast<char>(m.method)) + Le(m.name.size(), 2) + Le(m.attributes, 4) + m.name;
      rar += Block4(head) + p.data;
    }
    out.append(rar + Block4(QByteArray("\x7B", 1) + Le(0x4000 | (last ? 0 : 0x0001), 2) + Le(7, 2)));
  }
  return out;
}

QList<QByteArray> Rar5Volumes(const std::vector<RarMember>& members, int perVolume, const QByteArray& mainExtra) {
  const QList<QList<Part>> parts = Split(members, perVolume);
  QList<QByteArray> out;
  for (qsizetype v = 0; v < parts.size(); ++v) {
    const bool set = parts.size() > 1, last = v + 1 == parts.size();
    // archive flags: a volume, with its number unless the first
    QByteArray main = Vint(1) + (mainExtra.isEmpty() ? Vint(0) : Vint(1) + Vint(static_cast<uint64_t>(mainExtra.size())));
    main += Vint(set ? (v > 0 ? 3 : 1) : 0);
    if (set && v > 0) main += Vint(static_cast<uint64_t>(v));
    main += mainExtra;
    QByteArray rar = QByteArray("Rar!\x1A\x07\x01\x00", 8) + Block5(main);
    for (const Part& p : parts[v]) {
      const RarMember& m = *p.member;
      const uint64_t flags = 0x02 | (m.extra.isEmpty() ? 0 : 0x01) | (p.before ? 0x08 : 0) | (p.after ? 0x10 : 0);
      QByteArray head = Vint(2) + Vint(flags);
      if (!m.extra.isEmpty()) head += Vint(static_cast<uint64_t>(m.extra.size()));
      head += Vint(static_cast<uint64_t>(p.data.size()));
      head += Vint(m.directory ? 0x05 : 0x04) + Vint(m.size) + Vint(m.directory && !m.onUnix ? 0x10 : m.attributes) +
              Le(p.crc(), 4) + Vint(m.compression) + Vint(m.onUnix ? 1 : 0);
      head += Vint(static_cast<uint64_t>(m.name.size())) + m.name + m.extra;
      rar += Block5(head) + p.data;
    }
    out.append(rar + Block5(Vint(5) + Vint(0) + Vint(last ? 0 : 1)));
  }
  return out;
}

}  // namespace testing_support
