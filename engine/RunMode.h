// The run modes (the index of the run button) and the after-extraction actions.
#pragma once

#include <cstdint>

enum RunMode : int16_t {
  Okavi = 0,     // a folder named after the archive without its extension
  Normal = 1,    // straight into the destination
  NoDigits = 2,  // the name without extension, cut before its first digit
  FileN = 3,     // the name with its extension
};

enum PostAction : int16_t { PostNone = 0, PostCopy = 1, PostMove = 2, PostDelete = 3 };
