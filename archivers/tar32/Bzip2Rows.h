// The last walk of the inverse Burrows-Wheeler transform: the block's links
// lead from each row to the next, once round all of its rows, and each step
// waits for a load from a 3.6 MB table. Walked one step at a time that wait
// is most of bzip2's decoding time; here the rows are cut into segments at
// every 1024th row, and several segments are walked side by side, so that
// their loads wait for the cache together. The segments are then put in
// order.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace rkarc::tar {

class Bzip2Rows {
 public:
  // Entries of `links`: the row's byte in bits 0-7 and the next row in bits
  // 8-27 (bits 28-31 clear; bit 31 is used as a mark). Writes the `count`
  // bytes that follow from the original row `origin`, as libbz2 does, also
  // when damage has split the rows into several cycles.
  void walk(uint32_t* links, uint32_t count, uint32_t origin, uint8_t* out);

 private:
  static constexpr int kLanes = 12;
  struct Segment {
    uint32_t lane = 0, offset = 0, length = 0;
    uint32_t next = 0;  // the segment that follows
  };
  void assemble(uint32_t first, uint32_t count, uint8_t* out) const;

  std::vector<Segment> m_segments;
  std::array<std::vector<uint8_t>, kLanes> m_lanes;
};

}  // namespace rkarc::tar
