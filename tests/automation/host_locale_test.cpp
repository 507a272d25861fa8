#include <gtest/gtest.h>

#include "orvex/variant.hpp"
#include "support/automation_matchers.hpp"
#include "support/recording_host.hpp"

namespace orvex {
namespace {

// The overloads without a locale read and write text in the calling thread's host locale.
TEST(HostLocale, ConversionsWithoutALocaleUseTheHostLocale) {
  testing::HostGuard host;
  host->locale = Locale::FromName("de_DE");
  EXPECT_EQ(CStr(Variant(2.5)), "2,5");
  EXPECT_DOUBLE_EQ(CDbl(Variant("1.234,5")), 1234.5);
  EXPECT_EQ(CLng(Variant("2,5")), 2);
  EXPECT_EQ(CInt(Variant("3,5")), 4);
  EXPECT_EQ(CByte(Variant("255")), 255);
  EXPECT_FLOAT_EQ(CSng(Variant("0,5")), 0.5f);
  EXPECT_EQ(CCur(Variant("1,5")).scaled, 15000);
  EXPECT_EQ(CDec(Variant("1,5")).ToString(), "1.5");
  EXPECT_TRUE(CBool(Variant("1")));
  EXPECT_TRUE(IsNumeric(Variant("1,5")));
  EXPECT_TRUE(IsDate(Variant("05.12.2026")));
  EXPECT_EQ(CDate(Variant("05.12.2026")), Date(2026, 12, 5));
  EXPECT_EQ(FormatGeneralDate(Date(2026, 12, 5, 19, 29, 54)), "05.12.2026 19:29:54");
  EXPECT_EQ(ChangeType(Variant(0.5), vbString).Str(), "0,5");

  host->locale = Locale::EnglishUS();
  EXPECT_EQ(CStr(Variant(2.5)), "2.5");
  EXPECT_EQ(FormatGeneralDate(Date(2026, 12, 5, 19, 29, 54)), "12/5/2026 7:29:54 PM");
}

// Day and month without a year take the year of the host clock.
TEST(HostLocale, DatesWithoutAYearTakeTheCurrentYear) {
  testing::HostGuard host;
  host->now = Date(2031, 6, 1, 8, 0, 0);
  EXPECT_EQ(ParseDate("12/5", Locale::EnglishUS()), Date(2031, 12, 5));
  EXPECT_EQ(ParseDate("12/5", Locale::EnglishUK()), Date(2031, 5, 12));
  EXPECT_EQ(ParseDate("5 Dec", Locale::EnglishUK()), Date(2031, 12, 5));
  // With a number that can only be a year, the day is the first of the month.
  EXPECT_EQ(ParseDate("12/2020", Locale::EnglishUS()), Date(2020, 12, 1));
}

}  // namespace
}  // namespace orvex
