// Buffered line splitting at LF with the cleaning that makes terminal logs
// readable: bytes below 0x20 and 0x7F go (CR, TAB, ESC, NUL padding).
#include "archivers/ish32/IshLineReader.h"

#include <cerrno>

#include "archivers/common/RegularFile.h"

namespace rkarc {
namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr size_t kShortestRecordLine = 61;

}  // namespace

IshLineReader::IshLineReader(const std::string& path) : m_buffer(kBufferSize) {
  RegularFile file = OpenRegularFile(path);
  m_openError = file.error;
  if (!file.fd.valid()) return;
  m_file = ::fdopen(file.fd.get(), "rb");
  if (!m_file) {
    m_openError = errno;
    return;
  }
  file.fd.release();  // the stream owns it now
  m_size = file.size;
}

IshLineReader::~IshLineReader() {
  if (m_file) std::fclose(m_file);
}

bool IshLineReader::fill() {
  if (!m_file || m_failed) return false;
  m_begin = 0;
  m_end = std::fread(m_buffer.data(), 1, m_buffer.size(), m_file);
  if (m_end == 0 && std::ferror(m_file)) m_failed = true;
  return m_end > 0;
}

bool IshLineReader::next(std::string& line) {
  if (m_unread) {
    m_unread = false;
    line = m_line;
    return true;
  }
  while (true) {
    m_line.clear();
    m_lineOffset = m_position;
    bool any = false;
    bool ended = false;
    while (!ended) {
      if (m_begin == m_end && !fill()) break;
      any = true;
      while (m_begin < m_end) {
        const auto byte = static_cast<unsigned char>(m_buffer[m_begin++]);
        ++m_position;
        if (byte == '\n') {
          ended = true;
          break;
        }
        if (byte >= 0x20 && byte != 0x7F && m_line.size() < kKept) m_line.push_back(static_cast<char>(byte));
      }
    }
    if (!any) return false;
    if (m_line.size() >= kShortestRecordLine) {
      line = m_line;
      return true;
    }
  }
}

bool IshLineReader::seek(uint64_t offset) {
  if (!m_file || ::fseeko(m_file, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
  m_begin = m_end = 0;
  m_position = offset;
  m_unread = false;
  return true;
}

}  // namespace rkarc
