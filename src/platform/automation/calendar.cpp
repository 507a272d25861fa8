#include "calendar.hpp"

#include <algorithm>
#include <cmath>

namespace orvex::calendar {

namespace {

// Days from 1970-01-01 to 1899-12-30.
constexpr int64_t kEpochOffset = -25569;

// Howard Hinnant's days-from-civil, counted from 1970-01-01.
int64_t DaysFromUnixCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

}  // namespace

bool IsLeapYear(int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int32_t DaysInMonth(int32_t year, int32_t month) {
  static constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

int64_t SerialFromCivil(int32_t year, int32_t month, int32_t day) {
  return DaysFromUnixCivil(year, month, day) - kEpochOffset;
}

Civil CivilFromSerial(int64_t serial) {
  int64_t z = serial + kEpochOffset + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t dayOfEra = z - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  Civil civil;
  civil.day = static_cast<int32_t>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  civil.month = static_cast<int32_t>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  civil.year = static_cast<int32_t>(yearOfEra + era * 400 + (civil.month <= 2 ? 1 : 0));
  return civil;
}

bool InDateRange(double serial) { return serial > -657435.0 && serial < 2958466.0; }

DayAndSeconds Split(double serial) {
  if (!std::isfinite(serial)) return {};
  // Far outside the calendar the parts mean nothing, but they must stay computable.
  constexpr double kFarAway = 1e9;
  serial = std::clamp(serial, -kFarAway, kFarAway);
  const double whole = std::trunc(serial);
  DayAndSeconds split{static_cast<int64_t>(whole),
                      static_cast<int64_t>(std::llround(std::fabs(serial - whole) * 86400.0))};
  if (split.seconds >= 86400) {
    // Rounding reached the next midnight: that is the following calendar day.
    split.seconds -= 86400;
    split.day += 1;
  }
  return split;
}

double Combine(int64_t day, double time) {
  return day < 0 ? static_cast<double>(day) - time : static_cast<double>(day) + time;
}

}  // namespace orvex::calendar
