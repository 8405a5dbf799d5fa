// Cabinet reading with libmspack; see CabReader.h.
#include "archivers/cab32/CabReader.h"

#include <mspack.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "archivers/cab32/CabMszip.h"
#include "archivers/cab32/CabSet.h"
#include "archivers/cab32/CabSystem.h"
#include "archivers/common/RegularFile.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/common/SafeWriter.h"

namespace rkarc {
namespace {

std::string Hex(uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", value);
  return text;
}

bool MethodSupported(const CabFolderEntry& folder) {
  switch (folder.method()) {
    case static_cast<uint8_t>(CabMethod::None):
    case static_cast<uint8_t>(CabMethod::MsZip):
      return true;
    case static_cast<uint8_t>(CabMethod::Quantum):
      return folder.level() >= 10 && folder.level() <= 21;  // window of 1 KiB to 2 MiB
    case static_cast<uint8_t>(CabMethod::Lzx):
      return folder.level() >= 15 && folder.level() <= 21;  // window of 32 KiB to 2 MiB
    default:
      return false;
  }
}

}  // namespace

CabReader::CabReader() = default;

CabReader::~CabReader() {
  closeCabinet();
  if (m_decompressor) mspack_destroy_cab_decompressor(m_decompressor);
}

void CabReader::setObserver(std::function<void(uint64_t)> observer) {
  m_observer = observer;
  if (m_system) m_system->setObserver(std::move(observer));
}

const CabHeader& CabReader::header() const { return m_set ? m_set->header() : m_location.header; }

std::vector<std::string> CabReader::paths() const {
  std::vector<std::string> all{m_path};
  if (m_set)
    for (const auto& part : m_set->later()) all.push_back(part->path);
  return all;
}

CabError CabReader::setBroken() const { return m_set ? m_set->broken() : CabError{}; }

uint64_t CabReader::fileSize() const {
  uint64_t size = m_file.size();
  if (m_set)
    for (const auto& part : m_set->later()) size += part->file.size();
  return size;
}

CabError CabReader::open(const std::string& path, bool allowCutShort, bool wholeSet) {
  m_path = path;
  if (!m_file.open(path)) return {kErrArchiveOpen, m_file.error()};
  CabLocator locator(m_file);
  std::optional<CabLocation> found = locator.find(allowCutShort);
  if (m_file.readFailed()) return {kErrArchiveOpen, m_file.error()};
  if (!found) {
    if (locator.signatureAtStart()) return {kErrDamaged, "CAB のヘッダが壊れています"};
    return {kErrNotArchive, "CAB ファイルではありません"};
  }
  m_location = std::move(*found);
  // A folder that begins in the previous cabinet cannot be decoded without
  // it, not even for the members that start in this one.
  for (const CabFileEntry& file : m_location.header.files)
    m_firstFolderContinued = m_firstFolderContinued || file.continuedFromPrev();
  if (wholeSet && (m_location.header.flags & kCabFlagNextCabinet)) {
    m_set = std::make_unique<CabSet>();
    m_set->open(path, m_location);
  }

  int selftest = MSPACK_ERR_OK;
  MSPACK_SYS_SELFTEST(selftest);
  if (selftest != MSPACK_ERR_OK) return {kErrInternal, "libmspack のファイル位置の型が合いません"};
  std::vector<CabSystem::Window> windows{{m_file.fd(), m_location.offset, m_location.present}};
  if (m_set) {
    uint64_t before = m_file.size();
    for (const auto& part : m_set->later()) {
      windows.push_back({part->file.fd(), part->location.offset, part->location.present, before});
      before += part->file.size();
    }
  }
  m_system = std::make_unique<CabSystem>(std::move(windows));
  m_decompressor = mspack_create_cab_decompressor(m_system->system());
  if (!m_decompressor) return {kErrMemory, "メモリが足りません"};
  // Never repair MSZIP data or salvage bad blocks: a block whose checksum
  // does not match fails its member instead of giving wrong bytes.
  m_decompressor->set_param(m_decompressor, MSCABD_PARAM_FIXMSZIP, 0);
  m_decompressor->set_param(m_decompressor, MSCABD_PARAM_SALVAGE, 0);
  return openCabinet();
}

CabError CabReader::openCabinet() {
  m_cabinet = m_decompressor->open(m_decompressor, m_system->cabinetName(0));
  if (!m_cabinet) {
    if (m_system->readError() != 0)
      return {kErrArchiveOpen, ReadFailureText(m_system->readError())};
    return {kErrDamaged, "CAB のヘッダが壊れています"};
  }
  if (m_set && !m_set->later().empty()) return appendCabinets();
  // Both parsers must see the same members, or a name could be paired with
  // another member's data.
  m_files.clear();
  const std::vector<CabFileEntry>& ours = files();
  for (mscabd_file* file = m_cabinet->files; file; file = file->next) {
    const size_t i = m_files.size();
    if (i >= ours.size() || file->length != ours[i].size || file->offset != ours[i].folderOffset ||
        ours[i].name != file->filename) {
      closeCabinet();
      return {kErrDamaged, "CAB のファイル一覧が壊れています"};
    }
    m_files.push_back(file);
  }
  if (m_files.size() != ours.size()) {
    closeCabinet();
    return {kErrDamaged, "CAB のファイル一覧が壊れています"};
  }
  return {};
}

// libmspack joins the cabinets of a set, but drops the members that begin in
// a later cabinet inside a folder continued from the one before: the set's
// list is ours (CabSet), each entry pointing at libmspack's joined folder.
// Cabinets are joined from the last one back: joined front to back,
// libmspack loses track of a folder that runs through three cabinets.
CabError CabReader::appendCabinets() {
  std::vector<mscabd_cabinet*> cabinets{m_cabinet};
  // On failure, the cabinets from `chain` on are one set, those before alone.
  const auto fail = [&](size_t chain) -> CabError {
    for (size_t k = 1; k < cabinets.size() && k <= chain; ++k) m_decompressor->close(m_decompressor, cabinets[k]);
    closeCabinet();
    if (m_system->readError() != 0) return {kErrArchiveOpen, ReadFailureText(m_system->readError())};
    return {kErrDamaged, "CAB の組をつなげません"};
  };
  for (size_t i = 1; i <= m_set->later().size(); ++i) {
    cabinets.push_back(m_decompressor->open(m_decompressor, m_system->cabinetName(i)));
    if (!cabinets.back()) {
      cabinets.pop_back();
      return fail(cabinets.size());
    }
  }
  for (size_t i = cabinets.size() - 1; i-- > 0;)
    if (m_decompressor->append(m_decompressor, cabinets[i], cabinets[i + 1]) != MSPACK_ERR_OK) return fail(i + 1);
  std::vector<mscabd_folder*> folders;
  for (mscabd_folder* folder = m_cabinet->folders; folder; folder = folder->next) folders.push_back(folder);
  const CabHeader& set = header();
  if (folders.size() != set.folders.size()) return fail(0);
  m_setFiles.assign(set.files.size(), mscabd_file{});
  for (size_t i = 0; i < set.files.size(); ++i) {
    mscabd_file& file = m_setFiles[i];
    file.filename = const_cast<char*>(set.files[i].name.c_str());  // only for libmspack's messages
    file.length = set.files[i].size;
    file.offset = set.files[i].folderOffset;
    file.attribs = set.files[i].attributes;
    file.folder = folders[set.folderOf(set.files[i])];
    m_files.push_back(&file);
  }
  return {};
}

void CabReader::closeCabinet() {
  if (m_cabinet) m_decompressor->close(m_decompressor, m_cabinet);
  m_cabinet = nullptr;
  m_files.clear();
}

CabError CabReader::check(size_t index) const {
  const CabHeader& set = header();
  const CabFileEntry& file = set.files[index];
  const size_t folder = set.folderOf(file);
  const std::string previous =
      "前の CAB（" + SafeWriter::PrintableName(m_location.header.prevCabinet, NameCharset::Auto) + "）から続いています";
  if (file.continuedFromPrev()) return {kErrMultiVolume, previous};
  if (CabError broken = setBroken(); broken && file.continuedToNext()) return broken;
  if (file.continuedToNext())
    return {kErrMultiVolume,
            "次の CAB（" + SafeWriter::PrintableName(set.nextCabinet, NameCharset::Auto) + "）に続いています"};
  if (folder == 0 && m_firstFolderContinued) return {kErrMultiVolume, previous};
  if (!MethodSupported(set.folders[folder]))
    return {kErrUnsupported, "対応していない圧縮方式です（" + Hex(set.folders[folder].compressionType) + "）"};
  return {};
}

CabError CabReader::readFailure(int mspackError) const {
  if (m_system->readError() != 0)
    return {kErrArchiveOpen, ReadFailureText(m_system->readError())};
  switch (mspackError) {
    case MSPACK_ERR_CHECKSUM:
      return {kErrChecksum, "データブロックのチェックサムが合いません"};
    case MSPACK_ERR_NOMEMORY:
      return {kErrMemory, "メモリが足りません"};
    case MSPACK_ERR_READ:
    case MSPACK_ERR_SEEK:
      if (m_location.cutShort) return {kErrDamaged, "CAB が途中で切れています"};
      return {kErrDamaged, "データブロックが CAB の終わりを越えています"};
    case MSPACK_ERR_OPEN:
      return {kErrArchiveOpen, "圧縮ファイルを読めません"};
    default:
      return {kErrDamaged, "圧縮データが壊れています"};
  }
}

CabError CabReader::extract(size_t index, const Output& output) {
  if (index >= files().size()) return {kErrInternal, "内部エラー（メンバーの番号）"};
  if (CabError why = check(index)) return why;
  // Our MSZIP decoder reads the first cabinet's folders; libmspack reads on
  // through a set.
  const size_t folder = header().folderOf(files()[index]);
  const size_t ownFolders = m_set ? m_set->firstOwnFolders() : m_location.header.folders.size();
  if (folder < ownFolders && header().folders[folder].method() == static_cast<uint8_t>(CabMethod::MsZip))
    return extractMszip(index, output);
  if (!m_cabinet) {
    if (CabError why = openCabinet()) return why;
  }
  bool outputFailed = false;
  const CabSystem::Output counted = [&](const void* data, size_t size) {
    if (output(data, size)) return true;
    outputFailed = true;
    return false;
  };
  m_system->setOutput(&counted);
  const int result = m_decompressor->extract(m_decompressor, m_files[index], CabSystem::kMemberName);
  m_system->setOutput(nullptr);
  if (result == MSPACK_ERR_OK) return {};
  // libmspack would go on decoding the folder from where this member broke
  // off; closing the cabinet makes the next member start its folder afresh.
  closeCabinet();
  if (outputFailed) return {kErrWrite, "書き込みに失敗しました"};
  return readFailure(result);
}

// Members of one folder come in data order: a member at or after where the
// last one ended goes on decoding, any other starts the folder again.
CabError CabReader::extractMszip(size_t index, const Output& output) {
  const CabFileEntry& file = files()[index];
  const size_t folder = header().folderOf(file);
  if (!m_mszip || m_mszipFolder != folder || file.folderOffset < m_mszip->position()) {
    m_mszip = std::make_unique<CabMszip>(m_file, m_location, folder, m_observer);
    m_mszipFolder = folder;
  }
  CabError why = m_mszip->read(file.folderOffset, file.size, output);
  if (why) m_mszip.reset();
  return why;
}

}  // namespace rkarc
