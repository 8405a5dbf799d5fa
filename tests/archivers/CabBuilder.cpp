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

std::vector<CabBuilder::Block> CabBuilder::blocks() const {
  std::string data;
  for (const CabBuildFile& f : m_files) data += f.data;
  std::vector<Block> blocks;
  for (size_t at = 0; at < data.size(); at += m_options.blockSize) {
    const std::string block = data.substr(at, m_options.blockSize);
    const std::string previous = at > 0 ? data.substr(at - m_options.blockSize, m_options.blockSize) : "";
    blocks.push_back({m_options.mszip ? Mszip(block, previous) : block, static_cast<uint16_t>(block.size())});
  }
  return blocks;
}

std::string CabBuilder::build() const {
  std::vector<Entry> entries;
  uint32_t offset = 0;
  for (const CabBuildFile& f : m_files) {
    entries.push_back({&f, offset, f.folderIndex});
    offset += static_cast<uint32_t>(f.data.size());
  }
  return write(m_options, entries, blocks());
}

// Block k of each border between cabinets is cut in two: its first half
// ends one cabinet (declared 0 bytes long), its second begins the next.
std::vector<std::string> CabBuilder::buildSet(const std::vector<std::string>& names) const {
  const std::vector<Block> all = blocks();
  const size_t n = names.size();
  std::vector<std::string> cabinets;
  for (size_t i = 0; i < n; ++i) {
    const size_t first = i * all.size() / n, end = (i + 1) * all.size() / n;
    std::vector<Block> part;
    if (i > 0) part.push_back({all[first].packed.substr(all[first].packed.size() / 2), all[first].size});
    for (size_t k = first + (i > 0 ? 1 : 0); k < end; ++k) part.push_back(all[k]);
    if (i + 1 < n) part.push_back({all[end].packed.substr(0, all[end].packed.size() / 2), 0});
    // The bytes this cabinet completes; a member listed here overlaps them.
    const uint64_t lo = first * m_options.blockSize, hi = end * m_options.blockSize;
    std::vector<Entry> entries;
    uint32_t offset = 0;
    for (const CabBuildFile& f : m_files) {
      const uint64_t e = offset + f.data.size();
      const bool prev = offset < lo, next = e > hi;
      if (f.data.empty() ? offset >= lo && (offset < hi || i + 1 == n) : offset < hi && e > lo)
        entries.push_back({&f, offset, static_cast<uint16_t>(prev && next ? 0xFFFF : prev ? 0xFFFD : next ? 0xFFFE : 0)});
      offset += static_cast<uint32_t>(f.data.size());
    }
    CabBuildOptions options = m_options;
    options.prevCabinet = i > 0 ? names[i - 1] : "";
    options.nextCabinet = i + 1 < n ? names[i + 1] : "";
    options.setIndex = static_cast<uint16_t>(i);
    cabinets.push_back(write(options, entries, part));
  }
  return cabinets;
}

std::string CabBuilder::write(const CabBuildOptions& o, const std::vector<Entry>& entries,
                              const std::vector<Block>& blocks) {
  size_t filesOffset = 36 + 8;
  uint16_t flags = 0;
  if (!o.prevCabinet.empty()) flags |= 1, filesOffset += o.prevCabinet.size() + 3;
  if (!o.nextCabinet.empty()) flags |= 2, filesOffset += o.nextCabinet.size() + 3;
  size_t header = filesOffset;
  for (const Entry& e : entries) header += 16 + e.file->name.size() + 1;
  size_t total = header;
  for (const Block& b : blocks) total += 8 + b.packed.size();

  std::string out = "MSCF";
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(total));
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(filesOffset));
  Put32(out, 0);
  out.push_back(3);
  out.push_back(1);
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(entries.size()));
  Put16(out, flags);
  Put16(out, o.setId);
  Put16(out, o.setIndex);
  if (!o.prevCabinet.empty()) out += o.prevCabinet + '\0' + "A" + '\0';
  if (!o.nextCabinet.empty()) out += o.nextCabinet + '\0' + "A" + '\0';
  Put32(out, static_cast<uint32_t>(header));
  Put16(out, static_cast<uint32_t>(blocks.size()));
  Put16(out, o.mszip ? 1 : 0);  // stored or MSZIP
  for (const Entry& e : entries) {
    const CabBuildFile& f = *e.file;
    Put32(out, static_cast<uint32_t>(f.declaredSize >= 0 ? f.declaredSize : f.data.size()));
    Put32(out, e.offset);
    Put16(out, e.folderIndex);
    Put16(out, (44 << 9) | (5 << 5) | 17);  // 2024-05-17
    Put16(out, (12 << 11) | (34 << 5) | 28); // 12:34:56
    Put16(out, f.attributes);
    out += f.name + '\0';
  }
  for (const Block& b : blocks) {
    std::string sizes;
    Put16(sizes, static_cast<uint32_t>(b.packed.size()));
    Put16(sizes, b.size);
    Put32(out, o.checksums ? Checksum(sizes, Checksum(b.packed, 0)) : 0);
    out += sizes + b.packed;
  }
  return out;
}

}  // namespace testing_support
