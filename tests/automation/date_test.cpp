#include <gtest/gtest.h>

#include <string>

#include "orvex/date.hpp"
#include "support/automation_matchers.hpp"

namespace orvex {
namespace {

std::string Text(const DateParts& p) {
  using std::to_string;
  return to_string(p.year) + "-" + to_string(p.month) + "-" + to_string(p.day) + " " +
         to_string(p.hour) + ":" + to_string(p.minute) + ":" + to_string(p.second);
}

// Serials count days from 1899-12-30; before it the fraction still counts forward from midnight.
TEST(Date, SerialsAndPartsGoBothWays) {
  const struct {
    DateParts parts;
    double serial;
  } cases[] = {
      {{1899, 12, 30}, 0.0},
      {{1900, 1, 1}, 2.0},
      {{2000, 2, 29}, 36585.0},
      {{2026, 12, 5, 18, 0, 0}, 46361.75},
      {{100, 1, 1}, -657434.0},
      {{9999, 12, 31}, 2958465.0},
      {{1899, 12, 29, 6, 0, 0}, -1.25},
      {{1899, 12, 30, 12, 0, 0}, 0.5},
  };
  for (const auto& c : cases) {
    const DateParts& p = c.parts;
    EXPECT_DOUBLE_EQ(Date(p.year, p.month, p.day, p.hour, p.minute, p.second).Value(), c.serial);
    EXPECT_EQ(Text(Date(c.serial).Parts()), Text(p)) << c.serial;
  }
  EXPECT_EQ(Text(Date(2958465.999988426).Parts()), "9999-12-31 23:59:59");
  EXPECT_EQ(Text(Date(1600, 3, 1, 1, 2, 3).Parts()), "1600-3-1 1:2:3");
  // Half a second before midnight rounds to the next day, on both sides of the epoch.
  EXPECT_EQ(Text(Date(1.0 - 0.4 / 86400.0).Parts()), "1899-12-31 0:0:0");
  EXPECT_EQ(Text(Date(-1.0 - (86399.7 / 86400.0)).Parts()), "1899-12-30 0:0:0");
  // A time is there only away from midnight.
  EXPECT_FALSE(Date(2020, 5, 1).HasTime());
  EXPECT_TRUE(Date(2020, 5, 1).IsDateOnly());
  EXPECT_TRUE(Date(2020, 5, 1, 0, 0, 1).HasTime());
  EXPECT_TRUE(Date(-1.25).HasTime());
  EXPECT_FALSE(Date(-3.0).HasTime());
}

TEST(Date, InvalidPartsRaiseInvalidProcedureCall) {
  EXPECT_AUTOMATION_ERROR(Date(99, 12, 31), 5, "", "Invalid procedure call or argument");
  for (const DateParts& p : std::initializer_list<DateParts>{{10000, 1, 1},
                                                             {2021, 2, 29},
                                                             {1900, 2, 29},
                                                             {2020, 13, 1},
                                                             {2020, 4, 31},
                                                             {2020, 1, 0},
                                                             {2020, 1, 1, 24, 0, 0},
                                                             {2020, 1, 1, 0, 60, 0},
                                                             {2020, 1, 1, 0, 0, -1}})
    EXPECT_AUTOMATION_ERROR(Date(p.year, p.month, p.day, p.hour, p.minute, p.second), 5, "", "");
}

}  // namespace
}  // namespace orvex
