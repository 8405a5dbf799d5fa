// libmspack's I/O layer (mspack_system) for one extraction: libmspack reads
// each cabinet (one, or those of a set) through a window of its file that
// hides any executable stub before it, and writes each member's data to a callback, never to a
// file of its own, so that only the safe writer touches the disk.
#pragma once

#include <mspack.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rkarc {

class CabSystem {
 public:
  using Output = std::function<bool(const void* data, size_t size)>;
  using Observer = std::function<void(uint64_t filePosition)>;

  // A cabinet: the `length` bytes at `base` of the open file `fd`, which
  // progress counts from `before` (the bytes of the set's files before it).
  struct Window {
    int fd;
    uint64_t base;
    uint64_t length;
    uint64_t before = 0;
  };
  // The name libmspack is given for the member: it passes it back to open().
  static constexpr const char* kMemberName = "member";

  explicit CabSystem(std::vector<Window> cabinets);
  // The name libmspack is given for cabinet `index`; it stays valid while
  // this object lives, as libmspack keeps the pointer.
  const char* cabinetName(size_t index) const { return m_names[index].c_str(); }
  CabSystem(const CabSystem&) = delete;
  CabSystem& operator=(const CabSystem&) = delete;

  mspack_system* system() { return &m_system.base; }

  // Where the member being extracted goes; null between members.
  void setOutput(const Output* output) { m_output = output; }
  // Told the file position after every read (for progress).
  void setObserver(Observer observer) { m_observer = std::move(observer); }

  // The errno of the last failed read of the archive, 0 when none failed.
  int readError() const { return m_readError; }

 private:
  struct System {
    mspack_system base;  // first, so that libmspack's pointer leads back here
    CabSystem* owner;
  };
  struct Handle;
  static Handle* AsHandle(mspack_file* file);

  static mspack_file* Open(mspack_system* self, const char* name, int mode);
  static void Close(mspack_file* file);
  static int Read(mspack_file* file, void* buffer, int bytes);
  static int Write(mspack_file* file, void* buffer, int bytes);
  static int Seek(mspack_file* file, off_t offset, int mode);
  static off_t Tell(mspack_file* file);
  static void Message(mspack_file* file, const char* format, ...);
  static void* Alloc(mspack_system* self, size_t bytes);
  static void Free(void* pointer);
  static void Copy(void* source, void* destination, size_t bytes);

  System m_system;
  std::vector<Window> m_cabinets;
  std::vector<std::string> m_names;
  const Output* m_output = nullptr;
  Observer m_observer;
  int m_readError = 0;
};

}  // namespace rkarc
