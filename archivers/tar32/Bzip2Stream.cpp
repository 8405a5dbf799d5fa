// bzip2 decoding on several threads with full checks; see Bzip2Stream.h.
#include "archivers/tar32/Bzip2Stream.h"

#include <sched.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "archivers/common/ResultCodes.h"
#include "archivers/tar32/Bzip2Bits.h"

namespace rkarc::tar {
namespace {

constexpr uint64_t kBlockMagic = 0x314159265359, kEndMagic = 0x177245385090;
constexpr size_t kMaxMarks = 64;  // end markers without blocks between them are cheap, but not free

}  // namespace

unsigned Bzip2Stream::DefaultThreads() {
  if (const char* set = std::getenv("RUKASU2_BZIP2_THREADS")) {
    const int n = std::atoi(set);
    if (n >= 1 && n <= 64) return static_cast<unsigned>(n);
  }
  cpu_set_t cpus;
  const int count = sched_getaffinity(0, sizeof cpus, &cpus) == 0 ? CPU_COUNT(&cpus) : 1;
  return std::clamp(static_cast<unsigned>(count), 1u, kMaxThreads);
}

Bzip2Stream::Bzip2Stream(const InputFile& file, std::function<void(uint64_t)> onInput, unsigned threads)
    : ByteStream(file, std::move(onInput)),
      m_file(file),
      m_scanner(file),
      m_limit(std::max(threads, 1u) + 2),
      m_workers(std::make_unique<Bzip2Workers>(file, std::max(threads, 1u))) {}

Bzip2Stream::~Bzip2Stream() {
  for (Ahead& a : m_ahead)
    if (a.job) m_workers->drop(*a.job);
}

bool Bzip2Stream::currentHasBytes() const {
  if (!m_current) return false;
  return m_current->block.runs ? !m_runs.finished() : m_offset < m_current->block.bytes.size();
}

int Bzip2Stream::available() {
  while (errorCode() == 0 && !currentHasBytes()) {
    if (ended() || !nextBlock()) break;
  }
  if (errorCode() != 0) return -1;
  return currentHasBytes() ? 1 : 0;
}

int64_t Bzip2Stream::read(void* out, size_t n) {
  if (const int state = available(); state <= 0) return state;
  const Bzip2Block& block = m_current->block;
  if (block.runs) return static_cast<int64_t>(m_runs.expand(static_cast<uint8_t*>(out), n));
  const size_t take = std::min(n, block.bytes.size() - m_offset);
  std::memcpy(out, block.bytes.data() + m_offset, take);
  m_offset += take;
  return static_cast<int64_t>(take);
}

int64_t Bzip2Stream::readView(const void** data) {
  if (const int state = available(); state <= 0) return state;
  const Bzip2Block& block = m_current->block;
  if (block.runs) {
    if (m_view.empty()) m_view.resize(64 * 1024);
    *data = m_view.data();
    return static_cast<int64_t>(m_runs.expand(m_view.data(), m_view.size()));
  }
  *data = block.bytes.data() + m_offset;
  const size_t take = block.bytes.size() - m_offset;
  m_offset = block.bytes.size();  // the block stays until the next call
  return static_cast<int64_t>(take);
}

// Makes the block at m_expect current, passing end markers and starting the
// streams that follow them. False at the verified end or on failure.
bool Bzip2Stream::nextBlock() {
  m_current.reset();
  if (!m_started) {
    m_started = true;
    if (!startStream(0)) return false;
  }
  for (;;) {
    Ahead* ahead = markAtExpected();
    if (!ahead) return failNoMagic();
    if (!ahead->mark.end) {
      Ahead taken = std::move(*ahead);
      m_ahead.pop_front();
      --m_jobs;
      return takeBlock(std::move(taken));
    }
    m_ahead.pop_front();
    if (!endStream() || ended()) return false;
  }
}

// Finds marks and hands their blocks to the workers, up to m_limit blocks ahead.
void Bzip2Stream::lookAhead() {
  Bzip2Scanner::Mark mark;
  while (m_jobs < m_limit && m_ahead.size() < kMaxMarks && m_scanner.next(mark)) {
    Ahead a{mark, nullptr};
    if (!mark.end) {
      a.job = m_workers->submit(mark.bit, mark.level);
      ++m_jobs;
    }
    m_ahead.push_back(std::move(a));
  }
}

// The mark at m_expect, or null when no magic begins there. Marks before it
// lay inside the block that ended there: their blocks are dropped.
Bzip2Stream::Ahead* Bzip2Stream::markAtExpected() {
  for (;;) {
    while (!m_ahead.empty() && m_ahead.front().mark.bit < m_expect) {
      if (m_ahead.front().job) {
        m_workers->drop(*m_ahead.front().job);
        --m_jobs;
      }
      m_ahead.pop_front();
    }
    if (!m_ahead.empty()) return m_ahead.front().mark.bit == m_expect ? &m_ahead.front() : nullptr;
    const size_t before = m_ahead.size();
    lookAhead();
    if (m_ahead.size() == before) return nullptr;
  }
}

bool Bzip2Stream::takeBlock(Ahead ahead) {
  lookAhead();  // the workers go on while this block is waited for
  Bzip2Block* block = &m_workers->wait(*ahead.job);
  if (block->level != m_level) {
    // The scanner guessed the stream's block size wrong (a header-like run
    // of bytes inside compressed data): the limits differ, so decode again.
    try {
      m_workers->decodeHere(m_expect, m_level, *block);
    } catch (const std::bad_alloc&) {
      block->status = Bzip2Block::Status::NoMemory;
    }
  }
  if (block->status != Bzip2Block::Status::Ok) return failBlock(block->status);
  m_combined = (m_combined << 1 | m_combined >> 31) ^ block->crc;
  m_expect = block->end;
  m_current = std::move(ahead.job);
  m_offset = 0;
  if (block->runs) m_runs.start(block->bytes.data(), block->bytes.size());
  reportInput(m_expect / 8);
  return true;
}

// At an end marker: the stream's combined CRC, then whatever follows the
// stream from the next whole byte on.
bool Bzip2Stream::endStream() {
  Bzip2Bits in(m_file, m_bits);
  in.start(m_expect + 48);
  const uint32_t stored = in.take(32);
  if (in.readFailed()) return stop(kErrArchiveOpen, "書庫を読めません");
  if (in.pastEnd()) return stop(kErrDamaged, "bzip2データが途中で切れています");
  if (stored != m_combined) return stop(kErrChecksum, "CRCが一致しません（bzip2）");
  const uint64_t after = (in.position() + 7) / 8;
  restartInputAt(after);
  const unsigned char* next = input().data();
  size_t available = 0;
  // "BZh", a size digit, then the first block's magic (an empty stream's end magic).
  static constexpr StreamStart kStarts[] = {{"BZh0\x31\x41\x59\x26\x53\x59", 3, "\xFF\xFF\xFF\xF0"},
                                            {"BZh0\x17\x72\x45\x38\x50\x90", 3, "\xFF\xFF\xFF\xF0"}};
  switch (afterStream(next, available, kStarts)) {
    case AfterStream::Another:
      return startStream(after);
    case AfterStream::End:
      return true;
    case AfterStream::Failed:
      break;
  }
  return false;
}

// "BZh" and the block size digit at byte `offset`.
bool Bzip2Stream::startStream(uint64_t offset) {
  unsigned char header[4] = {};
  const int64_t got = m_file.readAt(offset, header, sizeof header);
  if (got < 0) return stop(kErrArchiveOpen, "書庫を読めません");
  for (int64_t i = 0; i < 4; ++i) {
    const bool fits = i < 3 ? header[i] == "BZh"[i] : header[i] >= '1' && header[i] <= '9';
    if (i >= got) return stop(kErrDamaged, "bzip2データが途中で切れています");
    if (!fits) return stop(kErrDamaged, "bzip2データが壊れています");
  }
  m_level = header[3] - '0';
  m_expect = (offset + 4) * 8;
  m_combined = 0;
  return true;
}

// No block or end magic where the last block ended: damage, or the file
// ends first, judged byte by byte as libbz2 reads it.
bool Bzip2Stream::failNoMagic() {
  if (m_scanner.readFailed()) return stop(kErrArchiveOpen, "書庫を読めません");
  Bzip2Bits in(m_file, m_bits);
  in.start(m_expect);
  const uint32_t first = in.take(8);
  const uint64_t magic = first == (kBlockMagic >> 40) ? kBlockMagic : first == (kEndMagic >> 40) ? kEndMagic : 0;
  for (int i = 1; magic != 0 && !in.pastEnd() && i < 6; ++i) {
    if (in.take(8) != ((magic >> (40 - 8 * i)) & 0xFF)) break;
  }
  if (in.readFailed()) return stop(kErrArchiveOpen, "書庫を読めません");
  if (in.pastEnd()) return stop(kErrDamaged, "bzip2データが途中で切れています");
  return stop(kErrChecksum, "CRCが一致しません（bzip2）");
}

// As libbz2's results were reported: any damage inside a stream is
// BZ_DATA_ERROR (a checksum failure), running out of input a cut file.
bool Bzip2Stream::failBlock(Bzip2Block::Status status) {
  switch (status) {
    case Bzip2Block::Status::Cut:
      return stop(kErrDamaged, "bzip2データが途中で切れています");
    case Bzip2Block::Status::Unreadable:
      return stop(kErrArchiveOpen, "書庫を読めません");
    case Bzip2Block::Status::NoMemory:
      return stop(kErrMemory, "メモリが足りません");
    default:
      return stop(kErrChecksum, "CRCが一致しません（bzip2）");
  }
}

bool Bzip2Stream::stop(int32_t code, const char* reason) {
  fail(code, reason);
  return false;
}

}  // namespace rkarc::tar
