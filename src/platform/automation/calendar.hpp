// Proleptic Gregorian calendar arithmetic on automation date serials (days since 1899-12-30).
#pragma once

#include <cstdint>

namespace orvex::calendar {

struct Civil {
  int32_t year = 1899, month = 12, day = 30;
};

// A serial split into its calendar day and the time of day in whole seconds (rounded).
struct DayAndSeconds {
  int64_t day = 0;
  int64_t seconds = 0;
};

bool IsLeapYear(int32_t year);
int32_t DaysInMonth(int32_t year, int32_t month);
int64_t SerialFromCivil(int32_t year, int32_t month, int32_t day);
Civil CivilFromSerial(int64_t serial);
// True for serials of the years 100 to 9999, the dates the runtime accepts.
bool InDateRange(double serial);
// The integer part is the day (counted toward zero) and the absolute fraction the time of day.
DayAndSeconds Split(double serial);
// Builds the serial of a day and a time of day given as a fraction 0 <= time < 1. Before
// 1899-12-30 the serial is negative while its fraction still counts forward from midnight, so
// the time is subtracted there.
double Combine(int64_t day, double time);

}  // namespace orvex::calendar
