// Stored cabinets for the tests; see CabBuilder.h.
#include "tests/archivers/CabBuilder.h"

#include <zlib.h>

namespace testing_support {
namespace {

void Put16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// The CFDATA checksum: 32-bit little-endian words XORed, a tail of one to
// three bytes taken most significant first.
uint32_t Checksum(const std::string& bytes, uint32_t seed) {
  uint32_t sum = seed;
  size_t i = 0;
  for (; i + 4 <= bytes.size(); i += 4) {
    sum ^= static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8 |
           static_cast<uint8_t>(bytes[i + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 3])) << 24;
  }
  uint32_t tail = 0;
  for (; i < bytes.size(); ++i) tail = tail << 8 | static_cast<uint8_t>(bytes[i]);
  return sum ^ tail;
}

// "CK" and the block deflated as one raw stream, with `previous` as its dictionary.
std::string Mszip(const std::string& block, const std::string& previous) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  if (!previous.empty())
    deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(previous.data()), static_cast<uInt>(previous.size()));
  std::string out(deflateBound(&z, block.size()) + 2, '\0');
  out[0] = 'C';
  out[1] = 'K';
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
  z.avail_in = static_cast<uInt>(block.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data() + 2);
  z.avail_out = static_cast<uInt>(out.size() - 2);
  deflate(&z, Z_FINISH);
  out.resize(out.size() - z.avail_out);
  deflateEnd(&z);
  return out;
}

}  // namespace

size_t CabBuilder::headerSize() const {
  size_t size = 36;
  if (!m_options.prevCabinet.empty()) size += m_options.prevCabinet.size() + 1 + 2;  // name, "A"
  if (!m_options.nextCabinet.empty()) size += m_options.nextCabinet.size() + 1 + 2;
  size += 8;  // one folder
  for (const CabBuildFile& f : m_files) size += 16 + f.name.size() + 1;
  return size;
}

size_t CabBuilder::blockDataOffset(size_t index) const {
  return headerSize() + index * (8 + m_options.blockSize);
}

std::string CabBuilder::build() const {
  std::string data;
  for (const CabBuildFile& f : m_files) data += f.data;
  std::vector<std::string> blocks;
  for (size_t at = 0; at < data.size(); at += m_options.blockSize)
    blocks.push_back(data.substr(at, m_options.blockSize));

  std::vector<std::string> packed;
  for (size_t i = 0; i < blocks.size(); ++i)
    packed.push_back(m_options.mszip ? Mszip(blocks[i], i > 0 ? blocks[i - 1] : std::string()) : blocks[i]);

  const size_t header = headerSize();
  size_t total = header;
  for (const std::string& p : packed) total += 8 + p.size();
  size_t filesOffset = 36 + 8;
  uint16_t flags = 0;
  if (!m_options.prevCabinet.empty()) flags |= 1, filesOffset += m_options.prevCabinet.size() + 3;
  if (!m_options.nextCabinet.empty()) flags |= 2, filesOffset += m_options.nextCabinet.size() + 3;

  std::string out = "MSCF";
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(total));
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(filesOffset));
  Put32(out, 0);
  out.push_back(3);
  out.push_back(1);
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(m_files.size()));
  Put16(out, flags);
  Put16(out, m_options.setId);
  Put16(out, m_options.setIndex);
  if (!m_options.prevCabinet.empty()) out += m_options.prevCabinet + '\0' + "A" + '\0';
  if (!m_options.nextCabinet.empty()) out += m_options.nextCabinet + '\0' + "A" + '\0';
  Put32(out, static_cast<uint32_t>(header));
  Put16(out, static_cast<uint32_t>(blocks.size()));
  Put16(out, m_options.mszip ? 1 : 0);  // stored or MSZIP
  uint32_t offset = 0;
  for (const CabBuildFile& f : m_files) {
    Put32(out, static_cast<uint32_t>(f.declaredSize >= 0 ? f.declaredSize : f.data.size()));
    Put32(out, offset);
    Put16(out, f.folderIndex);
    Put16(out, (44 << 9) | (5 << 5) | 17);  // 2024-05-17
    Put16(out, (12 << 11) | (34 << 5) | 28); // 12:34:56
    Put16(out, f.attributes);
    out += f.name + '\0';
    offset += static_cast<uint32_t>(f.data.size());
  }
  for (size_t i = 0; i < blocks.size(); ++i) {
    std::string sizes;
    Put16(sizes, static_cast<uint32_t>(packed[i].size()));
    Put16(sizes, static_cast<uint32_t>(blocks[i].size()));
    Put32(out, m_options.checksums ? Checksum(sizes, Checksum(packed[i], 0)) : 0);
    out += sizes + packed[i];
  }
  return out;
}

}  // namespace testing_support
