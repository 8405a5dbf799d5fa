// Result codes that every archiver module returns from its command entry point.
// 0 is success; 1..0x7FFF counts existing files that were kept (skipped);
// kFirstFailure and up are failures. The host stops a batch on kErrDiskFull,
// kErrNotWritable and kErrCancelled. kErrBusy and kErrCancelled belong to the
// host and are never returned by a module.
#pragma once

#include <cstdint>

namespace rkarc {

enum ResultCode : int32_t {
  kOk = 0,
  kMaxSkipped = 0x7FFF,
  kFirstFailure = 0x8000,
  kErrCommand = 0x8001,        // the command text is malformed (no archive or folder, bad quote)
  kErrArchiveOpen = 0x8002,    // the archive file cannot be opened or read
  kErrNotArchive = 0x8003,     // no archive of this kind was found in the file
  kErrOutputFolder = 0x8004,   // the output folder is missing or not a folder
  kErrDiskFull = 0x8005,       // ENOSPC, EDQUOT, EFBIG
  kErrNotWritable = 0x8006,    // EROFS, EACCES, EPERM on the destination
  kErrDamaged = 0x8007,        // damaged or truncated headers or data
  kErrChecksum = 0x8008,       // a header or data checksum does not match
  kErrUnsupported = 0x8009,    // a compression method this module does not decode
  kErrEncrypted = 0x800A,      // an encrypted (garbled) member
  kErrMultiVolume = 0x800B,    // a member continued in a volume that is missing or unsupported
  kErrUnsafeName = 0x800C,     // a name that would leave the output folder, or is too long
  kErrUnsafeType = 0x800D,     // a device, FIFO, socket, or a link that would escape
  kErrWrite = 0x800E,          // any other failure to write the output
  kErrMemory = 0x800F,         // out of memory
  kErrInternal = 0x8010,       // an unexpected failure inside the module
  kErrNoMember = 0x8011,       // a member named in the command is not in the archive
  kErrWrongPassword = 0x8012,  // none of the passwords given opens the encrypted members
  kErrBusy = 0x801F,           // the host's: the library was in use, so it was not called
  kErrCancelled = 0x8020,      // the host's: the user cancelled the extraction
};

inline bool IsFailure(int32_t code) { return code < 0 || code >= kFirstFailure; }

// What a failure code means, in a few Japanese words ("CRCが一致しません").
const char* FailureText(int32_t code);

}  // namespace rkarc
