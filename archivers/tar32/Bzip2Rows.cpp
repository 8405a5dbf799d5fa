// Walking a bzip2 block's rows in segments side by side; see Bzip2Rows.h.
#include "archivers/tar32/Bzip2Rows.h"

#include <algorithm>
#include <cstring>

namespace rkarc::tar {
namespace {

constexpr uint32_t kSpacing = 1024;  // rows between segment starts
constexpr uint32_t kStart = 0x80000000u;
constexpr uint32_t kRowMask = 0xFFFFF;

}  // namespace

void Bzip2Rows::walk(uint32_t* links, uint32_t count, uint32_t origin, uint8_t* out) {
  if (count == 0) return;
  // Segments start at every kSpacing-th row and at the first row of the block.
  const uint32_t first = (links[origin] >> 8) & kRowMask;
  const uint32_t spaced = (count + kSpacing - 1) / kSpacing;
  const uint32_t starts = spaced + (first % kSpacing != 0 ? 1 : 0);
  const auto rowOf = [&](uint32_t segment) { return segment < spaced ? segment * kSpacing : first; };
  const auto segmentAt = [&](uint32_t row) { return row % kSpacing == 0 ? row / kSpacing : spaced; };
  for (uint32_t s = 0; s < starts; ++s) links[rowOf(s)] |= kStart;
  m_segments.assign(starts, {});

  std::array<uint32_t, kLanes> row{}, segment{};
  std::array<uint8_t*, kLanes> at{}, end{};
  uint32_t nextStart = 0;
  int active = 0;
  // A lane takes the next segment and its first byte (that row carries the mark).
  const auto begin = [&](int lane) {
    if (nextStart == starts) return false;
    std::vector<uint8_t>& buffer = m_lanes[lane];
    const auto offset = static_cast<uint32_t>(at[lane] - buffer.data());
    if (at[lane] == end[lane]) {
      buffer.resize(buffer.size() * 2);
      at[lane] = buffer.data() + offset;
      end[lane] = buffer.data() + buffer.size();
    }
    const uint32_t s = nextStart++;
    m_segments[s].lane = static_cast<uint32_t>(lane);
    m_segments[s].offset = offset;
    segment[lane] = s;
    const uint32_t e = links[rowOf(s)];
    *at[lane]++ = static_cast<uint8_t>(e);
    row[lane] = (e >> 8) & kRowMask;
    return true;
  };
  for (int lane = 0; lane < kLanes; ++lane) {
    std::vector<uint8_t>& buffer = m_lanes[lane];
    buffer.resize(std::max<size_t>(buffer.size(), count / kLanes + 64 * 1024));
    at[lane] = buffer.data();
    end[lane] = buffer.data() + buffer.size();
    if (begin(lane)) {
      ++active;
    } else {
      at[lane] = nullptr;  // fewer segments than lanes: this one stays idle
    }
  }
  while (active > 0) {
    for (int lane = 0; lane < kLanes; ++lane) {
      if (!at[lane]) continue;
      const uint32_t e = links[row[lane]];
      if (e & kStart) {
        // The segment ends where another begins.
        Segment& done = m_segments[segment[lane]];
        done.length = static_cast<uint32_t>(at[lane] - m_lanes[lane].data()) - done.offset;
        done.next = segmentAt(row[lane]);
        if (!begin(lane)) {
          at[lane] = nullptr;
          --active;
        }
        continue;
      }
      if (at[lane] == end[lane]) {
        std::vector<uint8_t>& buffer = m_lanes[lane];
        const size_t offset = buffer.size();
        buffer.resize(offset * 2);
        at[lane] = buffer.data() + offset;
        end[lane] = buffer.data() + buffer.size();
      }
      *at[lane]++ = static_cast<uint8_t>(e);
      row[lane] = (e >> 8) & kRowMask;
    }
  }
  assemble(segmentAt(first), count, out);
}

// From the segment of the block's first row on, each followed by the one it
// ran into. A damaged block's rows can form several cycles: libbz2 then goes
// round the first one again until it has as many bytes as the block.
void Bzip2Rows::assemble(uint32_t first, uint32_t count, uint8_t* out) const {
  uint32_t done = 0;
  for (uint32_t s = first; done < count; s = m_segments[s].next) {
    const Segment& segment = m_segments[s];
    const uint32_t take = std::min(segment.length, count - done);
    std::memcpy(out + done, m_lanes[segment.lane].data() + segment.offset, take);
    done += take;
  }
}

}  // namespace rkarc::tar
