// The automation date: days since 1899-12-30 as a double, the fraction being the time of day.
#pragma once

#include <compare>
#include <cstdint>
#include "orvex/export.h"

ORVEX_PUBLIC_BEGIN

namespace orvex {

struct DateParts {
  int32_t year = 1899, month = 12, day = 30;
  int32_t hour = 0, minute = 0, second = 0;
};

class Date {
 public:
  Date() = default;
  explicit Date(double value) : value_(value) {}
  // Raises error 5 for a date outside 100-01-01 .. 9999-12-31 or an invalid day or time.
  Date(int32_t year, int32_t month, int32_t day, int32_t hour = 0, int32_t minute = 0,
       int32_t second = 0);

  double Value() const { return value_; }
  // Calendar parts, the time rounded to the nearest second.
  DateParts Parts() const;
  bool HasTime() const;  // false at exactly midnight
  bool IsDateOnly() const { return !HasTime(); }

  friend bool operator==(const Date&, const Date&) = default;
  friend auto operator<=>(const Date&, const Date&) = default;

 private:
  double value_ = 0.0;
};

}  // namespace orvex

ORVEX_PUBLIC_END
