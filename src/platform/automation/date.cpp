#include "orvex/date.hpp"

#include "calendar.hpp"
#include "orvex/automation_error.hpp"

namespace orvex {

namespace {

constexpr int64_t kSecondsPerDay = 86400;

bool ValidParts(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                int32_t second) {
  if (year < 100 || year > 9999 || month < 1 || month > 12) return false;
  if (day < 1 || day > calendar::DaysInMonth(year, month)) return false;
  return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60;
}

}  // namespace

Date::Date(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second) {
  if (!ValidParts(year, month, day, hour, minute, second)) Raise(errInvalidProcedureCall);
  const int64_t days = calendar::SerialFromCivil(year, month, day);
  const double time = static_cast<double>(hour * 3600 + minute * 60 + second) / kSecondsPerDay;
  value_ = calendar::Combine(days, time);
}

DateParts Date::Parts() const {
  const calendar::DayAndSeconds split = calendar::Split(value_);
  const calendar::Civil civil = calendar::CivilFromSerial(split.day);
  DateParts parts;
  parts.year = civil.year;
  parts.month = civil.month;
  parts.day = civil.day;
  parts.hour = static_cast<int32_t>(split.seconds / 3600);
  parts.minute = static_cast<int32_t>(split.seconds / 60 % 60);
  parts.second = static_cast<int32_t>(split.seconds % 60);
  return parts;
}

bool Date::HasTime() const { return calendar::Split(value_).seconds != 0; }

}  // namespace orvex
