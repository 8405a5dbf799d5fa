// The 7z members written; see SevenZipExtraction.h.
#include "archivers/sevenzip32/SevenZipExtraction.h"

#include <zlib.h>

#include <algorithm>

#include "archivers/common/ResultCodes.h"

namespace rkarc::sevenzip {
namespace {

constexpr uint32_t kDirectoryAttribute = 0x10;
constexpr uint32_t kUnixExtension = 0x8000;  // the high 16 bits hold a Unix mode
constexpr uint32_t kTypeMask = 0170000, kDirectory = 0040000, kRegular = 0100000, kSymlink = 0120000;
constexpr uint64_t kMaxLinkTarget = 64 * 1024;
constexpr size_t kBlock = 256 * 1024;

}  // namespace

Extraction::Extraction(const InputFile& file, uint64_t base, const ArchiveHeader& archive, ExtractRequest& request,
                       SafeWriter& writer, Progress& progress, std::string unnamed, const std::string* password)
    : m_file(file),
      m_base(base),
      m_archive(archive),
      m_request(request),
      m_writer(writer),
      m_progress(progress),
      m_unnamed(std::move(unnamed)),
      m_password(password),
      m_buffer(kBlock) {}

// A mode without type bits (Python's py7zr writes such) is a regular file,
// or a folder where 7z itself says so: an empty stream that is no empty file,
// or the directory attribute.
Member Extraction::memberOf(const Entry& e) const {
  Member m;
  m.name = e.name.empty() ? m_unnamed : e.name;
  m.charset = NameCharset::Utf8;
  m.size = e.size;
  m.mtime = e.mtime;
  const uint32_t attributes = e.attributes.value_or(0);
  const uint32_t mode = attributes & kUnixExtension ? attributes >> 16 : 0;
  m.mode = mode & 07777;
  const uint32_t type = mode & kTypeMask;
  if (!e.hasStream && (!e.emptyFile || type == kDirectory || (type == 0 && attributes & kDirectoryAttribute))) {
    m.type = MemberType::Directory;
  } else if (type == kSymlink && e.hasStream) {
    m.type = MemberType::Symlink;
  } else if (type == 0 || type == kRegular || type == kDirectory) {
    m.type = MemberType::File;
  } else {
    m.type = MemberType::Other;
  }
  return m;
}

Failure Extraction::folderFailure(size_t folder) {
  const FolderPlan& plan = m_archive.plans[folder];
  if (plan.kind == FolderPlan::Encrypted && !m_password) return {kErrEncrypted, FailureText(kErrEncrypted)};
  if (plan.kind == FolderPlan::Unsupported) return {kErrUnsupported, UnsupportedReason(plan.method)};
  if (m_folder != folder) {
    m_folder = folder;
    m_broken = {};
    m_reader = std::make_unique<FolderReader>(m_file, m_base, m_archive.header.streams.folders[folder], &m_progress,
                                              m_password);
  }
  return m_broken;
}

bool Extraction::pull(const Entry& entry, const std::function<bool(const uint8_t*, size_t)>& consume,
                      Failure& failure) {
  failure = folderFailure(entry.folder);
  if (failure.code != 0) return false;
  uint32_t crc = 0;
  bool consuming = static_cast<bool>(consume);
  for (uint64_t left = entry.size; left > 0;) {
    const int64_t got = m_reader->read(m_buffer.data(), static_cast<size_t>(std::min<uint64_t>(left, kBlock)));
    if (got <= 0) {
      m_broken = got < 0 ? m_reader->failure() : Failure{kErrDamaged, "データが途中で切れています"};
      failure = m_broken;
      return false;
    }
    left -= static_cast<uint64_t>(got);
    if (!consuming) continue;
    crc = static_cast<uint32_t>(crc32(crc, m_buffer.data(), static_cast<uInt>(got)));
    consuming = consume(m_buffer.data(), static_cast<size_t>(got));  // on false the rest is only read past
  }
  if (consuming && entry.crc && crc != *entry.crc) {
    failure = {kErrChecksum, FailureText(kErrChecksum)};
    return false;
  }
  return true;
}

void Extraction::writeData(const Entry& entry, Member& member) {
  Failure failure;
  if (member.type == MemberType::Symlink) {
    std::string target;
    const bool read = entry.size <= kMaxLinkTarget && pull(
                                                          entry,
                                                          [&](const uint8_t* p, size_t n) {
                                                            target.append(reinterpret_cast<const char*>(p), n);
                                                            return true;
                                                          },
                                                          failure);
    if (!read) {
      m_writer.fail(member, failure.code ? failure.code : kErrDamaged,
                    failure.code ? failure.reason : "リンク先が長すぎます");
      return;
    }
    member.linkTarget = target;
    m_writer.begin(member);
    return;
  }
  auto sink = member.type == MemberType::File ? m_writer.begin(member) : nullptr;
  if (member.type == MemberType::Other) m_writer.begin(member);  // refused there, with the reason
  if (!sink) {
    if (!m_writer.stopped()) pull(entry, nullptr, failure);  // read past it for the members after it
    return;
  }
  bool written = true;
  if (!pull(
          entry, [&](const uint8_t* p, size_t n) { return written = sink->write(p, n); }, failure)) {
    sink->abort(failure.code, failure.reason);
  } else if (written) {
    sink->commit();
  }
}

void Extraction::run() {
  const auto& entries = m_archive.header.entries;
  // Members wanted later in each folder: a folder is decoded only as far as they need.
  std::vector<bool> wanted(entries.size());
  std::vector<size_t> ahead(m_archive.header.streams.folders.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].anti) continue;
    wanted[i] = m_request.members.wants(memberOf(entries[i]).name, NameCharset::Utf8);
    if (wanted[i] && entries[i].hasStream) ++ahead[entries[i].folder];
  }
  for (size_t i = 0; i < entries.size() && !m_writer.stopped(); ++i) {
    const Entry& e = entries[i];
    Member member = memberOf(e);
    if (!e.hasStream) {
      if (wanted[i] && member.type == MemberType::File) {
        if (auto sink = m_writer.begin(member)) sink->commit();
      } else if (wanted[i]) {
        m_writer.begin(member);
      }
      continue;
    }
    Failure failure;
    if (!wanted[i]) {
      if (ahead[e.folder] > 0) pull(e, nullptr, failure);
      continue;
    }
    --ahead[e.folder];
    failure = folderFailure(e.folder);
    if (failure.code != 0) {
      m_writer.fail(member, failure.code, failure.reason);
      continue;
    }
    writeData(e, member);
  }
}

}  // namespace rkarc::sevenzip
