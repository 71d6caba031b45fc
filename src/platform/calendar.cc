#include "platform/platform.h"

namespace platform {

std::atomic<std::uint32_t> g_stop_requested{0};

namespace {

// Days from 1970-01-01 to `year`-`month`-`day` in the proleptic Gregorian
// calendar (the era-based method, exact for every year).
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t year_of_era = year - era * 400;
  const std::int64_t day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

// File times count from 1601-01-01, 134774 days before 1970-01-01.
constexpr std::int64_t kDays1601To1970 = 134774;

}  // namespace

std::int64_t CalendarTimeToTicks(const CalendarTime& utc) {
  const std::int64_t days = DaysFromCivil(utc.year, utc.month, utc.day) + kDays1601To1970;
  const std::int64_t seconds =
      ((days * 24 + utc.hour) * 60 + utc.minute) * std::int64_t{60} + utc.second;
  return (seconds * 1000 + utc.milliseconds) * 10'000;
}

}  // namespace platform
