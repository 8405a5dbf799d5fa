// The ARJ reader's name for the archive file it reads: the common
// ArchiveFile (readAt takes what there is, readExact all or nothing).
#pragma once

#include "archivers/common/ArchiveFile.h"

namespace rkarc {

using ArjFile = ArchiveFile;

}  // namespace rkarc
