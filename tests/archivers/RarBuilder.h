// Writes RAR 4 and RAR 5 archives and volume sets byte by byte for the RAR
// tests: no tool on Debian makes RAR. Members are stored, or carry the packed
// data of a member taken from a sample (a compressed one re-split across
// volumes). As RAR does, a part that goes on in the next volume carries the
// CRC-32 of its own packed bytes, the last part that of the whole file.
#pragma once

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <vector>

namespace testing_support {

struct RarMember {
  QByteArray name;    // bytes as stored (RAR 4: "\\" between folders; RAR 5: UTF-8 with "/")
  QByteArray packed;  // the data as stored
  uint64_t size = 0;  // unpacked
  uint32_t crc = 0;   // of the unpacked data
  uint64_t compression = 0;  // RAR 5 compression information; 0 stored
  uint8_t version = 20;      // RAR 4 version needed to extract
  uint8_t method = 0x30;     // RAR 4 method; 0x30 stored
  uint16_t flags = 0;        // RAR 4 file header flags (dictionary bits)
  bool directory = false;    // RAR 5 only
  uint32_t attributes = 0x20;  // MS-DOS / Windows attributes, or a Unix mode
  bool onUnix = false;          // made on Unix: `attributes` is a mode
  QByteArray extra{};          // RAR 5 extra area records, as stored
};

// A stored member.
RarMember StoredRarMember(const QByteArray& name, const QByteArray& data);
// The first file member of a RAR 4 / RAR 5 archive, with its packed data.
RarMember FirstRar4Member(const QByteArray& archive);
RarMember FirstRar5Member(const QByteArray& archive);

// The volumes of a set holding `members`, each volume taking at most
// `perVolume` bytes of packed data; one volume is a plain archive.
QList<QByteArray> Rar4Volumes(const std::vector<RarMember>& members, int perVolume);
// `mainExtra`: records of the main header's extra area, as stored.
QList<QByteArray> Rar5Volumes(const std::vector<RarMember>& members, int perVolume, const QByteArray& mainExtra = {});

uint32_t Crc32(const QByteArray& data);

}  // namespace testing_support
