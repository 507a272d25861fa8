#include <gtest/gtest.h>

#include "orvex/variant.hpp"
#include "support/automation_matchers.hpp"
#include "support/locales.hpp"

namespace orvex {
namespace {

using testing::kUK;
using testing::kUS;

TEST(DateText, GeneralDateLeavesOutMidnightAndDayZero) {
  EXPECT_EQ(FormatGeneralDate(Date(2026, 12, 5), kUS), "12/5/2026");
  EXPECT_EQ(FormatGeneralDate(Date(2026, 12, 5, 19, 29, 54), kUS), "12/5/2026 7:29:54 PM");
  EXPECT_EQ(FormatGeneralDate(Date(2026, 1, 9, 0, 5, 0), kUS), "1/9/2026 12:05:00 AM");
  EXPECT_EQ(FormatGeneralDate(Date(2026, 1, 9, 12, 0, 0), kUS), "1/9/2026 12:00:00 PM");
  EXPECT_EQ(FormatGeneralDate(Date(0.5), kUS), "12:00:00 PM");
  EXPECT_EQ(FormatGeneralDate(Date(0.0), kUS), "12:00:00 AM");
  EXPECT_EQ(FormatGeneralDate(Date(-1.25), kUS), "12/29/1899 6:00:00 AM");

  EXPECT_EQ(FormatGeneralDate(Date(2026, 12, 5), kUK), "05/12/2026");
  EXPECT_EQ(FormatGeneralDate(Date(2026, 12, 5, 7, 3, 9), kUK), "05/12/2026 07:03:09");
  EXPECT_EQ(FormatGeneralDate(Date(0.75), kUK), "18:00:00");
  EXPECT_EQ(CStr(Variant(Date(2026, 12, 5, 19, 29, 54)), kUK), "05/12/2026 19:29:54");
  EXPECT_EQ(FormatGeneralDate(Date(2958465.99998), kUS), "12/31/9999 11:59:58 PM");

  // Serials outside the years 100 to 9999 have no text.
  EXPECT_AUTOMATION_ERROR(FormatGeneralDate(Date(3e6), kUS), 6, "", "Overflow");
  EXPECT_AUTOMATION_ERROR(FormatGeneralDate(Date(-1e300), kUS), 6, "", "");
  EXPECT_AUTOMATION_ERROR(FormatDate(Date(1e300), "yyyy", kUS), 6, "", "");
  EXPECT_AUTOMATION_ERROR(CDate(Variant(3e6), kUS), 6, "", "");
}

TEST(DateText, ParsesInTheLocaleDayOrder) {
  EXPECT_EQ(ParseDate("12/5/2026", kUS), Date(2026, 12, 5));
  EXPECT_EQ(ParseDate("12/5/2026", kUK), Date(2026, 5, 12));
  EXPECT_EQ(ParseDate("5-12-2026", kUK), Date(2026, 12, 5));
  EXPECT_EQ(ParseDate("05.12.2026", kUK), Date(2026, 12, 5));
  EXPECT_EQ(ParseDate("05.12.2026", Locale::FromName("de_DE")), Date(2026, 12, 5));
  // Four digits first mean year, month, day in every locale.
  EXPECT_EQ(ParseDate("2026/12/05", kUS), Date(2026, 12, 5));
  EXPECT_EQ(ParseDate("2026-12-05", kUK), Date(2026, 12, 5));
  EXPECT_EQ(ParseDate("2026-12-05T19:29:54", kUS), Date(2026, 12, 5, 19, 29, 54));
  // Two-digit years.
  EXPECT_EQ(ParseDate("1/2/29", kUS), Date(2029, 1, 2));
  EXPECT_EQ(ParseDate("1/2/30", kUS), Date(1930, 1, 2));
  EXPECT_EQ(ParseDate("1/2/99", kUS), Date(1999, 1, 2));
  EXPECT_EQ(ParseDate("1/2/00", kUS), Date(2000, 1, 2));
  // A month by its English name.
  EXPECT_EQ(ParseDate("5 Dec 2026", kUS), Date(2026, 12, 5));
  EXPECT_EQ(ParseDate("December 5, 2026", kUK), Date(2026, 12, 5));
}

TEST(DateText, ParsesTimesWithAndWithoutDesignators) {
  EXPECT_EQ(ParseDate("12/5/2026 7:29:54 PM", kUS), Date(2026, 12, 5, 19, 29, 54));
  EXPECT_EQ(ParseDate("12/5/2026 12:00:00 AM", kUS), Date(2026, 12, 5));
  EXPECT_EQ(ParseDate("12/5/2026 12:30 pm", kUS), Date(2026, 12, 5, 12, 30, 0));
  EXPECT_EQ(ParseDate("05/12/2026 19:29", kUK), Date(2026, 12, 5, 19, 29, 0));
  EXPECT_EQ(ParseDate("  19:29:54  ", kUK), Date(Date(1899, 12, 30, 19, 29, 54).Value()));
  EXPECT_EQ(ParseDate("6 PM", kUS), Date(0.75));
  EXPECT_EQ(ParseDate("1/5/1899 6:00 AM", kUS), Date(1899, 1, 5, 6, 0, 0));
  // Finnish separates both the date and the time with dots.
  const Locale finnish = Locale::FromName("fi_FI");
  ASSERT_EQ(finnish.timeSeparator, ".");
  EXPECT_EQ(ParseDate("5.12.2026 19.29.54", finnish), Date(2026, 12, 5, 19, 29, 54));
  EXPECT_EQ(ParseDate("5.12.2026", finnish), Date(2026, 12, 5));
  EXPECT_EQ(ParseDate("6.30", finnish), Date(6.5 / 24));
  // A designator may lead the time.
  EXPECT_EQ(ParseDate("PM 7:29", kUS), Date(Date(1899, 12, 30, 19, 29, 0).Value()));
}

TEST(DateText, RefusesWhatIsNotADate) {
  for (const char* text :
       {"", "abc", "13/1/2026", "2/30/2026", "1/2/3/4", "25:00", "10:61", "12/5/2026 13:00 PM",
        "12/5/99999", "1/1/0099", "12//", "7", "12/5/2026 7:29:54 PM PM", "12/5/2026 xyz",
        "12/5/2026 PM", "PM 12/5/2026", "12;5;2026", "12_5_2026"}) {
    EXPECT_EQ(ParseDate(text, kUS), std::nullopt) << text;
  }
  EXPECT_EQ(ParseDate("31/12/2026", kUS), std::nullopt);
  EXPECT_EQ(ParseDate("12/31/2026", kUK), std::nullopt);
}

TEST(DateText, GeneralDateTextReadsBackToTheSameDate) {
  for (const Locale& locale :
       {kUS, kUK, Locale::FromName("de_DE"), Locale::FromName("fr_FR"), Locale::FromName("ja_JP"),
        Locale::FromName("ar_SA"), Locale::FromName("fi_FI"), Locale::FromName("ko_KR")}) {
    for (const Date& date :
         {Date(2026, 12, 5), Date(2026, 12, 5, 19, 29, 54), Date(1999, 1, 31, 0, 0, 1),
          Date(1850, 7, 4, 12, 0, 0), Date(2000, 2, 29, 11, 59, 59), Date(0.25)}) {
      const std::string text = FormatGeneralDate(date, locale);
      EXPECT_EQ(ParseDate(text, locale), date) << locale.name << ": " << text;
      EXPECT_EQ(CDate(Variant(text), locale), date) << locale.name << ": " << text;
    }
  }
}

TEST(DateText, FormatsUserPatterns) {
  const Date date(2026, 3, 7, 19, 5, 9);
  EXPECT_EQ(FormatDate(date, "yyyy/mm/dd", kUS), "2026/03/07");
  EXPECT_EQ(FormatDate(date, "yyyy/mm/dd", Locale::FromName("de_DE")), "2026.03.07");
  EXPECT_EQ(FormatDate(date, "d/m/yy", kUK), "7/3/26");
  EXPECT_EQ(FormatDate(date, "hh:mm:ss", kUS), "19:05:09");
  EXPECT_EQ(FormatDate(date, "h:nn AM/PM", kUS), "7:05 PM");
  EXPECT_EQ(FormatDate(date, "h:nn am/pm", kUS), "7:05 pm");
  EXPECT_EQ(FormatDate(date, "hh:nn a/p", kUS), "07:05 p");
  EXPECT_EQ(FormatDate(date, "mm:ss", kUS), "05:09");
  EXPECT_EQ(FormatDate(date, "dddd, mmmm d", kUS), "Saturday, March 7");
  EXPECT_EQ(FormatDate(date, "ddd mmm", kUS), "Sat Mar");
  EXPECT_EQ(FormatDate(date, "YYYY-MM-DD \"at\" HH\\h", kUS), "2026-03-07 at 19h");
  EXPECT_EQ(FormatDate(Date(2026, 1, 1, 0, 0, 0), "h AM/PM", kUS), "12 AM");
}

}  // namespace
}  // namespace orvex
