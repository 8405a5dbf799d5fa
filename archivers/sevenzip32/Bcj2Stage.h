// BCJ2, 7-Zip's x86 branch converter with four inputs: the main stream, the
// absolute targets of CALLs and of JMPs/Jccs (big-endian), and a range-coded
// stream that says which E8/E9/0F8x opcodes were converted.
#pragma once

#include <array>
#include <memory>

#include "archivers/sevenzip32/Stage.h"

namespace rkarc::sevenzip {

std::unique_ptr<Stage> MakeBcj2Stage(std::shared_ptr<Failure> failure, uint64_t size,
                                     std::array<std::unique_ptr<Stage>, 4> inputs);

}  // namespace rkarc::sevenzip
