#include <gtest/gtest.h>

#include <limits>

#include "orvex/variant.hpp"
#include "support/automation_matchers.hpp"
#include "support/locales.hpp"

namespace orvex {
namespace {

using testing::kUK;
using testing::kUS;

// The value changed to the subtype and read back as text, or "#n" for the error number raised.
// ChangeType calls each subtype's own conversion (CInt, CLng, ...), so this covers them all.
std::string Changed(const Variant& value, uint16_t type, const Locale& locale = kUS) {
  try {
    return CStr(ChangeType(value, type, locale), locale);
  } catch (const AutomationError& error) {
    return "#" + std::to_string(error.Number);
  }
}

TEST(Coercion, ChangeTypeGivesTheRuntimesValuesAndErrors) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    Variant value;
    uint16_t type;
    const char* result;
  } cases[] = {
      // Halves round to even, from doubles, text, currency and decimals.
      {Variant(2.5), vbInteger, "2"},
      {Variant(3.5), vbInteger, "4"},
      {Variant(-2.5), vbInteger, "-2"},
      {Variant(-3.5), vbInteger, "-4"},
      {Variant(2.5000001), vbInteger, "3"},
      {Variant("2.5"), vbLong, "2"},
      {Variant(Currency{25000}), vbLong, "2"},
      {Variant(Currency{-35000}), vbLong, "-4"},
      {Variant(Decimal::Parse("4.5")), vbLong, "4"},
      {Variant(Decimal::Parse("-5.5")), vbLong, "-6"},
      {Variant(254.5), vbByte, "254"},
      // Overflow at the edges of each range.
      {Variant(32767.4), vbInteger, "32767"},
      {Variant(32767.5), vbInteger, "#6"},
      {Variant(-32768.5), vbInteger, "-32768"},
      {Variant(-32769.0), vbInteger, "#6"},
      {Variant(int32_t{40000}), vbInteger, "#6"},
      {Variant(2147483647.0), vbLong, "2147483647"},
      {Variant(2147483647.5), vbLong, "#6"},
      {Variant(-2147483648.0), vbLong, "-2147483648"},
      {Variant(1e300), vbLong, "#6"},
      {Variant(int32_t{255}), vbByte, "255"},
      {Variant(-0.5), vbByte, "0"},
      {Variant(int32_t{-1}), vbByte, "#6"},
      {Variant("300"), vbByte, "#6"},
      {Variant(1e300), vbSingle, "#6"},
      {Variant(1e16), vbCurrency, "#6"},
      {Variant(-657434.0), vbDate, "1/1/0100"},
      {Variant(-657434.5), vbDate, "#6"},
      // Not-a-number and the infinities are named, and overflow what cannot hold them.
      {Variant(nan), vbString, "NaN"},
      {Variant(static_cast<float>(inf)), vbString, "Infinity"},
      {Variant(-inf), vbString, "-Infinity"},
      {Variant(nan), vbDecimal, "#6"},
      {Variant(inf), vbCurrency, "#6"},
      {Variant(-inf), vbDate, "#6"},
      {Variant(inf), vbLong, "#6"},
      // Empty is zero of every kind; some values have no conversion at all.
      {Variant(), vbString, ""},
      {Variant(), vbInteger, "0"},
      {Variant(), vbBoolean, "False"},
      {Variant(), vbDate, "12:00:00 AM"},
      {Variant(""), vbLong, "#13"},
      {Variant("abc"), vbLong, "#13"},
      {Variant("12abc"), vbDouble, "#13"},
      {Variant::Missing(), vbString, "#13"},
      {Variant::Error(2042), vbLong, "#13"},
      {Variant(SafeArray(0, 1)), vbString, "#13"},
      {Variant(nullptr), vbString, "#13"},
      {Variant(int32_t{1}), vbObject, "#13"},
      {Variant("not a date"), vbDate, "#13"},
      // Numbers print as the runtime prints them: fifteen digits, no grouping.
      {Variant(0.1 + 0.2), vbString, "0.3"},
      {Variant(-2.0), vbString, "-2"},
      {Variant(1e20), vbString, "1E+20"},
      {Variant(1.5e-7), vbString, "1.5E-07"},
      {Variant(123456789012345.0), vbString, "123456789012345"},
      {Variant(1e15), vbString, "1E+15"},
      {Variant(1.0 / 3.0), vbString, "0.333333333333333"},
      {Variant(0.1f), vbString, "0.1"},
      {Variant(int16_t{-7}), vbString, "-7"},
      {Variant(uint8_t{200}), vbString, "200"},
      {Variant(Currency{12345000}), vbString, "1234.5"},
      {Variant(Decimal::Parse("-12.50")), vbString, "-12.50"},
      // Text read as numbers: grouping, spaces, signs, exponents and hexadecimal.
      {Variant("1,234.5"), vbDouble, "1234.5"},
      {Variant("  -12.5  "), vbDouble, "-12.5"},
      {Variant("+3"), vbDouble, "3"},
      {Variant("1.5E3"), vbDouble, "1500"},
      {Variant("2e-2"), vbDouble, "0.02"},
      {Variant(".5"), vbSingle, "0.5"},
      {Variant("&H1F"), vbLong, "31"},
      {Variant("&HFFFF"), vbInteger, "-1"},
      {Variant("1.25"), vbCurrency, "1.25"},
      {Variant("12.5"), vbDecimal, "12.5"},
      {Variant("1/2/2020"), vbDate, "1/2/2020"},
      // Booleans from numbers and text, and back.
      {Variant(int32_t{-1}), vbBoolean, "True"},
      {Variant(0.001), vbBoolean, "True"},
      {Variant(0.0), vbBoolean, "False"},
      {Variant("TRUE"), vbBoolean, "True"},
      {Variant("false"), vbBoolean, "False"},
      {Variant("2"), vbBoolean, "True"},
      {Variant("0"), vbBoolean, "False"},
      {Variant("yes"), vbBoolean, "#13"},
      {Variant(true), vbInteger, "-1"},
      {Variant(false), vbDouble, "0"},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(Changed(cases[i].value, cases[i].type), cases[i].result) << "row " << i;

  // Null changes only to a Variant; every other subtype raises "Invalid use of Null".
  for (uint16_t type : {vbString, vbInteger, vbLong, vbByte, vbSingle, vbDouble, vbCurrency,
                        vbDecimal, vbDate, vbBoolean})
    EXPECT_AUTOMATION_ERROR(ChangeType(Variant::Null(), type, kUS), 94, "", "Invalid use of Null");
  EXPECT_EQ(ChangeType(Variant::Null(), vbVariant, kUS).VarType(), vbNull);
  EXPECT_TRUE(ChangeType(Variant::Missing(), vbVariant, kUS).IsMissing());
  EXPECT_AUTOMATION_ERROR(CLng(Variant("abc"), kUS), 13, "ORVEX", "Type mismatch");
  EXPECT_AUTOMATION_ERROR(CInt(Variant(32767.5), kUS), 6, "", "Overflow");
}

TEST(Coercion, TheLocaleGivesTheSeparators) {
  const Locale german = Locale::FromName("de_DE");
  EXPECT_EQ(Changed(Variant(1234.5), vbString, german), "1234,5");
  EXPECT_EQ(Changed(Variant(Currency{15000}), vbString, german), "1,5");
  EXPECT_EQ(Changed(Variant("1.234,5"), vbDouble, german), "1234,5");
  EXPECT_EQ(Changed(Variant("0,25"), vbDouble, german), "0,25");
  EXPECT_EQ(Changed(Variant("1,2,3.5"), vbDouble, german), "#13");
  EXPECT_EQ(Changed(Variant("1,234.5"), vbDouble, kUK), "1234.5");

  EXPECT_EQ(ParseNumber("1e400", kUS), std::nullopt);
  EXPECT_EQ(ParseNumber("1.2.3", kUS), std::nullopt);
  EXPECT_EQ(ParseNumber("-", kUS), std::nullopt);
  EXPECT_EQ(ParseNumber("(5)", kUS), -5.0);
  EXPECT_EQ(ParseNumber("1e-400", kUS), 0.0);
}

TEST(Coercion, NumericAndDateTests) {
  const struct {
    Variant value;
    bool numeric, date;
  } cases[] = {
      {Variant(), true, false},
      {Variant(true), true, false},
      {Variant(Currency{1}), true, false},
      {Variant(" 1,000.25 "), true, false},
      {Variant("Warning"), false, false},
      {Variant(""), false, false},
      {Variant::Null(), false, false},
      {Variant::Missing(), false, false},
      {Variant(Date(2020, 1, 1)), false, true},
      {Variant("12/31/2020"), false, true},
      {Variant("31/12/2020"), false, false},
      {Variant(45000.0), true, false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(IsNumeric(cases[i].value, kUS), cases[i].numeric) << "row " << i;
    EXPECT_EQ(IsDate(cases[i].value, kUS), cases[i].date) << "row " << i;
  }
  EXPECT_TRUE(IsDate(Variant("31/12/2020"), kUK));
}

}  // namespace
}  // namespace orvex
