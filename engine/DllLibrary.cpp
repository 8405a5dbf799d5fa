// See DllLibrary.h.
#include "engine/DllLibrary.h"

#include "platform/DynamicLibrary.h"

namespace {

template <typename Fn>
Fn Lookup(const DynamicLibrary& library, const QByteArray& name) {
  return reinterpret_cast<Fn>(library.symbol(name.constData()));
}

}  // namespace

DllLibrary::DllLibrary(LibraryId id, const QString& path)
    : m_id(id), m_library(std::make_unique<DynamicLibrary>(path)) {
  if (!m_library->isLoaded()) {
    m_error = m_library->errorText();
    return;
  }
  const QByteArray prefix = LibraryPrefix(id);
  m_version = Lookup<RkGetVersionFn>(*m_library, prefix + RKARC_GET_VERSION_SUFFIX);
  if (id == LibraryId::Bz2) return;
  if (id == LibraryId::Ish)
    m_ishCommand = Lookup<RkIshCommandFn>(*m_library, RKARC_ISH_COMMAND_NAME);
  else
    m_command = Lookup<RkCommandFn>(*m_library, prefix);
  m_check = Lookup<RkCheckArchiveFn>(*m_library, prefix + RKARC_CHECK_ARCHIVE_SUFFIX);
  m_running = Lookup<RkGetRunningFn>(*m_library, prefix + RKARC_GET_RUNNING_SUFFIX);
  m_progress = Lookup<RkSetProgressFn>(*m_library, prefix + RKARC_SET_PROGRESS_SUFFIX);
  m_passwords = Lookup<RkSetPasswordsFn>(*m_library, prefix + RKARC_SET_PASSWORDS_SUFFIX);
  if (!isUsable()) m_error = QStringLiteral("missing entry points in ") + path;
}

DllLibrary::~DllLibrary() = default;

bool DllLibrary::isUsable() const {
  if (!m_library->isLoaded() || !m_version) return false;
  if (m_id == LibraryId::Bz2) return true;
  return (m_command || m_ishCommand) && m_check && m_running;
}

int32_t DllLibrary::command(const QByteArray& command, char* report, uint32_t reportSize) {
  if (m_ishCommand) return m_ishCommand(command.constData(), report, reportSize);
  if (m_command) return m_command(nullptr, command.constData(), report, reportSize);
  return -1;
}

int32_t DllLibrary::checkArchive(const QByteArray& path, int32_t mode) {
  return m_check ? m_check(path.constData(), mode) : 0;
}

int32_t DllLibrary::getRunning() { return m_running ? m_running() : 0; }

int32_t DllLibrary::getVersion() { return m_version ? m_version() : 0; }

void DllLibrary::setProgress(RkProgressFn fn, void* context) {
  if (m_progress) m_progress(fn, context);
}

void DllLibrary::setPasswords(const char* const* list, int32_t count) {
  if (m_passwords) m_passwords(list, count);
}
