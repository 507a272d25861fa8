#include <gtest/gtest.h>

#include "orvex/locale.hpp"
#include "orvex/variant.hpp"

namespace orvex {
namespace {

// Every field of a locale as one text: date pattern, time pattern, date and time separators,
// decimal and thousands separators, AM and PM designators, date order.
std::string Fields(const Locale& l) {
  const char* orders[] = {"MDY", "DMY", "YMD"};
  return l.shortDatePattern + "|" + l.longTimePattern + "|" + l.dateSeparator + "|" +
         l.timeSeparator + "|" + l.decimalSeparator + "|" + l.thousandsSeparator + "|" +
         l.amDesignator + "|" + l.pmDesignator + "|" + orders[static_cast<int>(l.dateOrder)];
}

TEST(Locale, PresetsIcuDataAndProcessLocaleNamesAgree) {
  const std::string us = "M/d/yyyy|h:mm:ss tt|/|:|.|,|AM|PM|MDY";
  EXPECT_EQ(Fields(Locale::EnglishUS()), us);
  for (const char* name : {"en_US", "en_US.UTF-8", "C", "POSIX", "C.UTF-8"})
    EXPECT_EQ(Fields(Locale::FromName(name)), us) << name;
  const Locale uk = Locale::EnglishUK();
  EXPECT_EQ(uk.shortDatePattern + "|" + uk.longTimePattern, "dd/MM/yyyy|HH:mm:ss");
  EXPECT_EQ(uk.dateOrder, Locale::DateOrder::DMY);
  const Locale gb = Locale::FromName("en_GB");
  EXPECT_EQ(gb.shortDatePattern + "|" + gb.longTimePattern, "dd/MM/yyyy|HH:mm:ss");
  EXPECT_EQ(gb.dateOrder, Locale::DateOrder::DMY);
  EXPECT_EQ(Locale::FromName("en_US.UTF-8").name, "en_US");
  EXPECT_EQ(Locale::FromName("de_DE.UTF-8@euro").name, "de_DE");
  EXPECT_EQ(Locale::FromName("fr-FR").decimalSeparator, ",");
}

TEST(Locale, OtherLocalesTakeTheirPatternsAndSymbols) {
  const Locale german = Locale::FromName("de_DE");
  EXPECT_EQ(Fields(german).rfind("dd.MM.yyyy|HH:mm:ss|.|:|,|.|", 0), 0u) << Fields(german);
  EXPECT_EQ(german.dateOrder, Locale::DateOrder::DMY);
  const Locale japanese = Locale::FromName("ja_JP");
  EXPECT_EQ(japanese.dateOrder, Locale::DateOrder::YMD);
  EXPECT_EQ(japanese.shortDatePattern.substr(0, 4), "yyyy");
  // Right-to-left locales carry no bidi marks into the patterns.
  const Locale arabic = Locale::FromName("ar_SA");
  EXPECT_EQ(arabic.dateSeparator, "/");
  EXPECT_EQ(arabic.dateOrder, Locale::DateOrder::DMY);
  EXPECT_EQ(arabic.shortDatePattern.find("\xE2\x80\x8F"), std::string::npos);
  EXPECT_FALSE(arabic.pmDesignator.empty());
  // French groups with a blank, which reads back with a plain space.
  const Locale french = Locale::FromName("fr_FR");
  EXPECT_EQ(french.thousandsSeparator, " ");
  EXPECT_EQ(ParseNumber("1 234,5", french), 1234.5);
  // Unknown names still give a locale that formats and reads its own dates.
  for (const char* name : {"xx_YY", "", "not a locale at all", "@@@"}) {
    const Locale locale = Locale::FromName(name);
    EXPECT_FALSE(locale.shortDatePattern.empty() || locale.decimalSeparator.empty()) << name;
    const Date date(2026, 12, 5, 1, 2, 3);
    EXPECT_EQ(ParseDate(FormatGeneralDate(date, locale), locale), date) << name;
  }
}

}  // namespace
}  // namespace orvex
