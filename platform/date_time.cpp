#include "platform/process_services.h"

namespace kestrune::platform {
namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto year_of_era = static_cast<unsigned>(year - era * 400);
  const unsigned day_of_year = (153 * (month + (month > 2 ? -3u : 9u)) + 2) / 5 + day - 1;
  const unsigned day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + static_cast<std::int64_t>(day_of_era) - 719468;
}

}  // namespace

double ToDateTime(const WallClock& clock) {
  constexpr std::int64_t kDaysFrom1899To1970 = 25569;
  const std::int64_t days = DaysFromCivil(clock.year, static_cast<unsigned>(clock.month),
                                          static_cast<unsigned>(clock.day)) +
                            kDaysFrom1899To1970;
  const double milliseconds =
      ((clock.hour * 60.0 + clock.minute) * 60.0 + clock.second) * 1000.0 + clock.millisecond;
  return static_cast<double>(days) + milliseconds / 86400000.0;
}

}  // namespace kestrune::platform
