#include <gtest/gtest.h>

#include "orvex/locale.hpp"
#include "orvex/variant.hpp"

namespace orvex {
namespace {

void ExpectSameLocale(const Locale& actual, const Locale& expected) {
  EXPECT_EQ(actual.shortDatePattern, expected.shortDatePattern);
  EXPECT_EQ(actual.longTimePattern, expected.longTimePattern);
  EXPECT_EQ(actual.dateSeparator, expected.dateSeparator);
  EXPECT_EQ(actual.timeSeparator, expected.timeSeparator);
  EXPECT_EQ(actual.decimalSeparator, expected.decimalSeparator);
  EXPECT_EQ(actual.thousandsSeparator, expected.thousandsSeparator);
  EXPECT_EQ(actual.amDesignator, expected.amDesignator);
  EXPECT_EQ(actual.pmDesignator, expected.pmDesignator);
  EXPECT_EQ(actual.dateOrder, expected.dateOrder);
}

TEST(Locale, EnglishPresetsAreTheDesktopDefaults) {
  const Locale us = Locale::EnglishUS();
  EXPECT_EQ(us.shortDatePattern, "M/d/yyyy");
  EXPECT_EQ(us.longTimePattern, "h:mm:ss tt");
  EXPECT_EQ(us.dateSeparator, "/");
  EXPECT_EQ(us.timeSeparator, ":");
  EXPECT_EQ(us.decimalSeparator, ".");
  EXPECT_EQ(us.thousandsSeparator, ",");
  EXPECT_EQ(us.amDesignator, "AM");
  EXPECT_EQ(us.pmDesignator, "PM");
  EXPECT_EQ(us.dateOrder, Locale::DateOrder::MDY);

  const Locale uk = Locale::EnglishUK();
  EXPECT_EQ(uk.shortDatePattern, "dd/MM/yyyy");
  EXPECT_EQ(uk.longTimePattern, "HH:mm:ss");
  EXPECT_EQ(uk.dateOrder, Locale::DateOrder::DMY);
}

TEST(Locale, IcuDataGivesTheSameAsThePresets) {
  ExpectSameLocale(Locale::FromName("en_US"), Locale::EnglishUS());
  EXPECT_EQ(Locale::FromName("en_GB").shortDatePattern, "dd/MM/yyyy");
  EXPECT_EQ(Locale::FromName("en_GB").longTimePattern, "HH:mm:ss");
  EXPECT_EQ(Locale::FromName("en_GB").dateOrder, Locale::DateOrder::DMY);
}

TEST(Locale, ProcessLocaleNamesAreUnderstood) {
  ExpectSameLocale(Locale::FromName("en_US.UTF-8"), Locale::EnglishUS());
  ExpectSameLocale(Locale::FromName("C"), Locale::EnglishUS());
  ExpectSameLocale(Locale::FromName("POSIX"), Locale::EnglishUS());
  ExpectSameLocale(Locale::FromName("C.UTF-8"), Locale::EnglishUS());
  EXPECT_EQ(Locale::FromName("en_US.UTF-8").name, "en_US");
  EXPECT_EQ(Locale::FromName("de_DE.UTF-8@euro").name, "de_DE");
  EXPECT_EQ(Locale::FromName("fr-FR").decimalSeparator, ",");
}

TEST(Locale, OtherLocalesTakeTheirPatternsAndSymbols) {
  const Locale german = Locale::FromName("de_DE");
  EXPECT_EQ(german.shortDatePattern, "dd.MM.yyyy");
  EXPECT_EQ(german.longTimePattern, "HH:mm:ss");
  EXPECT_EQ(german.dateSeparator, ".");
  EXPECT_EQ(german.decimalSeparator, ",");
  EXPECT_EQ(german.thousandsSeparator, ".");
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
}

TEST(Locale, UnknownNamesStillGiveAUsableLocale) {
  for (const char* name : {"xx_YY", "", "not a locale at all", "@@@"}) {
    const Locale locale = Locale::FromName(name);
    EXPECT_FALSE(locale.shortDatePattern.empty()) << name;
    EXPECT_FALSE(locale.decimalSeparator.empty()) << name;
    const Date date(2026, 12, 5, 1, 2, 3);
    EXPECT_EQ(ParseDate(FormatGeneralDate(date, locale), locale), date) << name;
  }
}

}  // namespace
}  // namespace orvex
