#include <gtest/gtest.h>

#include "orvex/date.hpp"
#include "support/automation_matchers.hpp"

namespace orvex {
namespace {

void ExpectParts(const Date& date, DateParts expected) {
  const DateParts parts = date.Parts();
  EXPECT_EQ(parts.year, expected.year) << date.Value();
  EXPECT_EQ(parts.month, expected.month) << date.Value();
  EXPECT_EQ(parts.day, expected.day) << date.Value();
  EXPECT_EQ(parts.hour, expected.hour) << date.Value();
  EXPECT_EQ(parts.minute, expected.minute) << date.Value();
  EXPECT_EQ(parts.second, expected.second) << date.Value();
}

TEST(Date, SerialsCountDaysFromTheEpoch) {
  EXPECT_DOUBLE_EQ(Date(1899, 12, 30).Value(), 0.0);
  EXPECT_DOUBLE_EQ(Date(1900, 1, 1).Value(), 2.0);
  EXPECT_DOUBLE_EQ(Date(2000, 2, 29).Value(), 36585.0);
  EXPECT_DOUBLE_EQ(Date(2026, 12, 5, 18, 0, 0).Value(), 46361.75);
  EXPECT_DOUBLE_EQ(Date(100, 1, 1).Value(), -657434.0);
  EXPECT_DOUBLE_EQ(Date(9999, 12, 31).Value(), 2958465.0);
  // Before the epoch the fraction still counts forward from midnight.
  EXPECT_DOUBLE_EQ(Date(1899, 12, 29, 6, 0, 0).Value(), -1.25);
  EXPECT_DOUBLE_EQ(Date(1899, 12, 30, 12, 0, 0).Value(), 0.5);
}

TEST(Date, PartsComeBackForPositiveAndNegativeSerials) {
  ExpectParts(Date(0.0), {1899, 12, 30, 0, 0, 0});
  ExpectParts(Date(-1.25), {1899, 12, 29, 6, 0, 0});
  ExpectParts(Date(-0.5), {1899, 12, 30, 12, 0, 0});
  ExpectParts(Date(-657434.0), {100, 1, 1, 0, 0, 0});
  ExpectParts(Date(2958465.999988426), {9999, 12, 31, 23, 59, 59});
  ExpectParts(Date(2024, 2, 29, 23, 59, 59), {2024, 2, 29, 23, 59, 59});
  ExpectParts(Date(1600, 3, 1, 1, 2, 3), {1600, 3, 1, 1, 2, 3});
  // Half a second before midnight rounds to the next day.
  ExpectParts(Date(1.0 - 0.4 / 86400.0), {1899, 12, 31, 0, 0, 0});
  ExpectParts(Date(-1.0 - (86399.7 / 86400.0)), {1899, 12, 30, 0, 0, 0});
}

TEST(Date, HasTimeOnlyAwayFromMidnight) {
  EXPECT_FALSE(Date(2020, 5, 1).HasTime());
  EXPECT_TRUE(Date(2020, 5, 1).IsDateOnly());
  EXPECT_TRUE(Date(2020, 5, 1, 0, 0, 1).HasTime());
  EXPECT_TRUE(Date(-1.25).HasTime());
  EXPECT_FALSE(Date(-3.0).HasTime());
}

TEST(Date, InvalidPartsRaiseInvalidProcedureCall) {
  EXPECT_AUTOMATION_ERROR(Date(99, 12, 31), 5, "", "Invalid procedure call or argument");
  EXPECT_AUTOMATION_ERROR(Date(10000, 1, 1), 5, "", "");
  EXPECT_AUTOMATION_ERROR(Date(2021, 2, 29), 5, "", "");
  EXPECT_AUTOMATION_ERROR(Date(1900, 2, 29), 5, "", "");
  EXPECT_AUTOMATION_ERROR(Date(2020, 13, 1), 5, "", "");
  EXPECT_AUTOMATION_ERROR(Date(2020, 4, 31), 5, "", "");
  EXPECT_AUTOMATION_ERROR(Date(2020, 1, 0), 5, "", "");
  EXPECT_AUTOMATION_ERROR(Date(2020, 1, 1, 24, 0, 0), 5, "", "");
  EXPECT_AUTOMATION_ERROR(Date(2020, 1, 1, 0, 60, 0), 5, "", "");
  EXPECT_AUTOMATION_ERROR(Date(2020, 1, 1, 0, 0, -1), 5, "", "");
  EXPECT_NO_THROW(Date(2000, 2, 29));
}

}  // namespace
}  // namespace orvex
