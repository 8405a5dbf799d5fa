// The data side of one file member: a NewFile in the member's folder that
// takes the member's name on commit and disappears otherwise.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "archivers/common/NewFile.h"
#include "archivers/common/SafeWriter.h"
#include "archivers/common/UniqueFd.h"

namespace rkarc {

class MemberSinkImpl {
 public:
  struct Target {
    UniqueFd folder;
    std::string leaf;       // the member's last component
    std::string key;        // the member's safe relative path
    NewFile file;
    bool replace = false;  // an entry this extraction made, or overwriting is allowed
    std::optional<int64_t> mtime;
    std::string display;  // the member's name for the report
    std::string identity;  // MemberIdentity of the member's name
  };

  MemberSinkImpl(SafeWriter::State& state, Target target);
  // Neither committed nor aborted: the member counts as failed.
  ~MemberSinkImpl();
  MemberSinkImpl(const MemberSinkImpl&) = delete;
  MemberSinkImpl& operator=(const MemberSinkImpl&) = delete;

  bool write(const void* data, size_t size);
  bool hole(uint64_t size);
  bool commit();
  void abort(int32_t code, std::string_view reason);
  // The writer is going away first: drop the temporary file and forget it.
  void detach();

 private:
  void discard();
  void failErrno(int err);
  bool writeData(const void* data, size_t size);

  SafeWriter::State* m_state;
  Target m_target;
  enum class Phase { Open, Finished } m_phase = Phase::Open;
  bool m_endsInHole = false;  // the file still has to be extended over a last hole
};

}  // namespace rkarc
