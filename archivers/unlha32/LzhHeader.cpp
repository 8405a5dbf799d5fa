// Time conversions of LzhHeader; see LzhHeader.h.
#include "archivers/unlha32/LzhHeader.h"

#include <ctime>

namespace rkarc {

std::optional<int64_t> DosTimeToUnix(uint32_t dosTime) {
  const unsigned date = dosTime >> 16;
  const unsigned time = dosTime & 0xFFFF;
  struct tm tm{};
  tm.tm_year = static_cast<int>((date >> 9) & 0x7F) + 80;
  tm.tm_mon = static_cast<int>((date >> 5) & 0x0F) - 1;
  tm.tm_mday = static_cast<int>(date & 0x1F);
  tm.tm_hour = static_cast<int>((time >> 11) & 0x1F);
  tm.tm_min = static_cast<int>((time >> 5) & 0x3F);
  tm.tm_sec = static_cast<int>((time & 0x1F) * 2);
  if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday < 1 || tm.tm_hour > 23 || tm.tm_min > 59 ||
      tm.tm_sec > 59)
    return std::nullopt;
  // The archivers that wrote these headers stored the local time of the machine.
  tm.tm_isdst = -1;
  const time_t t = mktime(&tm);
  if (t == static_cast<time_t>(-1)) return std::nullopt;
  return static_cast<int64_t>(t);
}

std::optional<int64_t> LzhHeader::modificationTime() const {
  if (unixMtime) return unixMtime;
  if (windowsMtime) return windowsMtime;
  if (headerUnixTime) return headerUnixTime;
  return DosTimeToUnix(dosTime);
}

}  // namespace rkarc
