// liblzma's raw decoder as a stage of a 7z folder: LZMA or LZMA2 with up to
// three branch or delta filters above it, or filters alone over the data of
// another coder, which they are fed as stored LZMA2 chunks (liblzma has no
// raw decoder that ends in a filter).
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "archivers/sevenzip32/SevenZipHeader.h"
#include "archivers/sevenzip32/SevenZipMethods.h"
#include "archivers/sevenzip32/Stage.h"

namespace rkarc::sevenzip {

// How many coders one liblzma decoder takes, LZMA or LZMA2 last.
inline constexpr size_t kMaxLzmaFilters = 4;

// A branch or delta filter of liblzma's.
bool IsFilter(Method m);

// `coders`: outermost first, each with the size of its output; `wrapped`:
// filters alone. Null when liblzma cannot take one (`failure` says which).
std::unique_ptr<Stage> MakeLzmaStage(std::shared_ptr<Failure> failure, uint64_t size, std::unique_ptr<Stage> below,
                                     bool wrapped, const std::vector<std::pair<const Coder*, uint64_t>>& coders);

}  // namespace rkarc::sevenzip
