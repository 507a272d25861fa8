#include <gtest/gtest.h>

#include <limits>

#include "orvex/variant.hpp"
#include "support/automation_matchers.hpp"
#include "support/locales.hpp"

namespace orvex {
namespace {

using testing::kUK;
using testing::kUS;

TEST(Coercion, IntegersRoundHalvesToEven) {
  EXPECT_EQ(CInt(Variant(2.5), kUS), 2);
  EXPECT_EQ(CInt(Variant(3.5), kUS), 4);
  EXPECT_EQ(CInt(Variant(-2.5), kUS), -2);
  EXPECT_EQ(CInt(Variant(-3.5), kUS), -4);
  EXPECT_EQ(CInt(Variant(2.5000001), kUS), 3);
  EXPECT_EQ(CLng(Variant(0.5), kUS), 0);
  EXPECT_EQ(CLng(Variant(1.5), kUS), 2);
  EXPECT_EQ(CLng(Variant("2.5"), kUS), 2);
  EXPECT_EQ(CLng(Variant(Currency{25000}), kUS), 2);    // 2.5
  EXPECT_EQ(CLng(Variant(Currency{-35000}), kUS), -4);  // -3.5
  EXPECT_EQ(CLng(Variant(Decimal::Parse("4.5")), kUS), 4);
  EXPECT_EQ(CLng(Variant(Decimal::Parse("-5.5")), kUS), -6);
  EXPECT_EQ(CByte(Variant(254.5), kUS), 254);
}

TEST(Coercion, OverflowAtTheEdgesOfEachRange) {
  EXPECT_EQ(CInt(Variant(32767.4), kUS), 32767);
  EXPECT_AUTOMATION_ERROR(CInt(Variant(32767.5), kUS), 6, "", "Overflow");
  EXPECT_EQ(CInt(Variant(-32768.5), kUS), -32768);
  EXPECT_AUTOMATION_ERROR(CInt(Variant(-32769.0), kUS), 6, "", "");
  EXPECT_AUTOMATION_ERROR(CInt(Variant(int32_t{40000}), kUS), 6, "", "");
  EXPECT_EQ(CLng(Variant(2147483647.0), kUS), 2147483647);
  EXPECT_AUTOMATION_ERROR(CLng(Variant(2147483647.5), kUS), 6, "", "");
  EXPECT_EQ(CLng(Variant(-2147483648.0), kUS), INT32_MIN);
  EXPECT_AUTOMATION_ERROR(CLng(Variant(1e300), kUS), 6, "", "");
  EXPECT_EQ(CByte(Variant(int32_t{255}), kUS), 255);
  EXPECT_EQ(CByte(Variant(-0.5), kUS), 0);
  EXPECT_AUTOMATION_ERROR(CByte(Variant(int32_t{-1}), kUS), 6, "", "");
  EXPECT_AUTOMATION_ERROR(CByte(Variant(int32_t{256}), kUS), 6, "", "");
  EXPECT_AUTOMATION_ERROR(CByte(Variant("300"), kUS), 6, "", "");
  EXPECT_AUTOMATION_ERROR(CSng(Variant(1e300), kUS), 6, "", "");
  EXPECT_AUTOMATION_ERROR(CCur(Variant(1e16), kUS), 6, "", "");
}

TEST(Coercion, NullEmptyAndMismatchRules) {
  // Every conversion of Null but to a Variant (ChangeType calls each type's own conversion).
  for (uint16_t type : {vbString, vbInteger, vbLong, vbByte, vbSingle, vbDouble, vbCurrency,
                        vbDecimal, vbDate, vbBoolean})
    EXPECT_AUTOMATION_ERROR(ChangeType(Variant::Null(), type, kUS), 94, "", "Invalid use of Null");

  const Variant empty;
  EXPECT_EQ(CStr(empty, kUS), "");
  EXPECT_EQ(CInt(empty, kUS), 0);
  EXPECT_EQ(CDbl(empty, kUS), 0.0);
  EXPECT_FALSE(CBool(empty, kUS));
  EXPECT_EQ(CDate(empty, kUS), Date(0.0));

  EXPECT_AUTOMATION_ERROR(CLng(Variant(""), kUS), 13, "", "");
  EXPECT_AUTOMATION_ERROR(CLng(Variant("abc"), kUS), 13, "ORVEX", "Type mismatch");
  EXPECT_AUTOMATION_ERROR(CDbl(Variant("12abc"), kUS), 13, "", "");
  EXPECT_AUTOMATION_ERROR(CStr(Variant::Missing(), kUS), 13, "", "");
  EXPECT_AUTOMATION_ERROR(CLng(Variant::Error(2042), kUS), 13, "", "");
  EXPECT_AUTOMATION_ERROR(CStr(Variant(SafeArray(0, 1)), kUS), 13, "", "");
  EXPECT_AUTOMATION_ERROR(CStr(Variant(nullptr), kUS), 13, "", "");
  EXPECT_AUTOMATION_ERROR(CDate(Variant("not a date"), kUS), 13, "", "");
}

TEST(Coercion, TextOfNumbersAsTheRuntimePrintsThem) {
  EXPECT_EQ(CStr(Variant(0.1 + 0.2), kUS), "0.3");
  EXPECT_EQ(CStr(Variant(1.5), kUS), "1.5");
  EXPECT_EQ(CStr(Variant(-2.0), kUS), "-2");
  EXPECT_EQ(CStr(Variant(1e20), kUS), "1E+20");
  EXPECT_EQ(CStr(Variant(1.5e-7), kUS), "1.5E-07");
  EXPECT_EQ(CStr(Variant(123456789012345.0), kUS), "123456789012345");
  EXPECT_EQ(CStr(Variant(1e15), kUS), "1E+15");
  EXPECT_EQ(CStr(Variant(1.0 / 3.0), kUS), "0.333333333333333");
  EXPECT_EQ(CStr(Variant(0.1f), kUS), "0.1");
  EXPECT_EQ(CStr(Variant(int16_t{-7}), kUS), "-7");
  EXPECT_EQ(CStr(Variant(uint8_t{200}), kUS), "200");
  EXPECT_EQ(CStr(Variant(true), kUS), "True");
  EXPECT_EQ(CStr(Variant(false), kUS), "False");
  EXPECT_EQ(CStr(Variant(Currency{12345000}), kUS), "1234.5");
  EXPECT_EQ(CStr(Variant(Decimal::Parse("-12.50")), kUS), "-12.50");
  // No grouping, and the locale's decimal separator.
  const Locale german = Locale::FromName("de_DE");
  EXPECT_EQ(CStr(Variant(1234.5), german), "1234,5");
  EXPECT_EQ(CStr(Variant(Currency{15000}), german), "1,5");
}

// Not-a-number and the infinities have names of their own in a text, and overflow every type
// that cannot hold them.
TEST(Coercion, NotANumberAndInfinitiesAreNamedOrOverflow) {
  const struct {
    double value;
    const char* text;
  } cases[] = {{std::numeric_limits<double>::quiet_NaN(), "NaN"},
               {std::numeric_limits<double>::infinity(), "Infinity"},
               {-std::numeric_limits<double>::infinity(), "-Infinity"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CStr(Variant(c.value), kUS), c.text);
    EXPECT_EQ(CStr(Variant(static_cast<float>(c.value)), kUS), c.text);
    EXPECT_EQ(ChangeType(Variant(c.value), vbString, kUS).Str(), c.text);
    for (uint16_t type : {vbInteger, vbLong, vbByte, vbCurrency, vbDecimal, vbDate})
      EXPECT_AUTOMATION_ERROR(ChangeType(Variant(c.value), type, kUS), 6, "", "Overflow");
  }
}

TEST(Coercion, TextReadAsNumbersInTheLocale) {
  EXPECT_DOUBLE_EQ(CDbl(Variant("1,234.5"), kUS), 1234.5);
  EXPECT_DOUBLE_EQ(CDbl(Variant("  -12.5  "), kUS), -12.5);
  EXPECT_DOUBLE_EQ(CDbl(Variant("+3"), kUS), 3.0);
  EXPECT_DOUBLE_EQ(CDbl(Variant("1.5E3"), kUS), 1500.0);
  EXPECT_DOUBLE_EQ(CDbl(Variant("2e-2"), kUS), 0.02);
  EXPECT_DOUBLE_EQ(CDbl(Variant(".5"), kUS), 0.5);
  EXPECT_EQ(CLng(Variant("&H1F"), kUS), 31);
  EXPECT_EQ(CInt(Variant("&HFFFF"), kUS), -1);
  EXPECT_DOUBLE_EQ(CDbl(Variant("1,234.5"), kUK), 1234.5);

  const Locale german = Locale::FromName("de_DE");
  EXPECT_DOUBLE_EQ(CDbl(Variant("1.234,5"), german), 1234.5);
  EXPECT_DOUBLE_EQ(CDbl(Variant("0,25"), german), 0.25);
  EXPECT_AUTOMATION_ERROR(CDbl(Variant("1,2,3.5"), german), 13, "", "");

  EXPECT_EQ(ParseNumber("1e400", kUS), std::nullopt);
  EXPECT_EQ(ParseNumber("1.2.3", kUS), std::nullopt);
  EXPECT_EQ(ParseNumber("-", kUS), std::nullopt);
  EXPECT_EQ(ParseNumber("(5)", kUS), -5.0);
  EXPECT_EQ(ParseNumber("1e-400", kUS), 0.0);
}

TEST(Coercion, BooleansFromNumbersAndText) {
  EXPECT_TRUE(CBool(Variant(int32_t{-1}), kUS));
  EXPECT_TRUE(CBool(Variant(0.001), kUS));
  EXPECT_FALSE(CBool(Variant(0.0), kUS));
  EXPECT_TRUE(CBool(Variant("TRUE"), kUS));
  EXPECT_TRUE(CBool(Variant("true"), kUS));
  EXPECT_FALSE(CBool(Variant("False"), kUS));
  EXPECT_TRUE(CBool(Variant("2"), kUS));
  EXPECT_FALSE(CBool(Variant("0"), kUS));
  EXPECT_AUTOMATION_ERROR(CBool(Variant("yes"), kUS), 13, "", "");
  EXPECT_AUTOMATION_ERROR(CBool(Variant(""), kUS), 13, "", "");
  EXPECT_EQ(CInt(Variant(true), kUS), -1);
  EXPECT_DOUBLE_EQ(CDbl(Variant(false), kUS), 0.0);
}

TEST(Coercion, NumericAndDateTests) {
  EXPECT_TRUE(IsNumeric(Variant(), kUS));
  EXPECT_TRUE(IsNumeric(Variant(true), kUS));
  EXPECT_TRUE(IsNumeric(Variant(int16_t{1}), kUS));
  EXPECT_TRUE(IsNumeric(Variant(Currency{1}), kUS));
  EXPECT_TRUE(IsNumeric(Variant("7"), kUS));
  EXPECT_TRUE(IsNumeric(Variant(" 1,000.25 "), kUS));
  EXPECT_FALSE(IsNumeric(Variant("Warning"), kUS));
  EXPECT_FALSE(IsNumeric(Variant(""), kUS));
  EXPECT_FALSE(IsNumeric(Variant::Null(), kUS));
  EXPECT_FALSE(IsNumeric(Variant(Date(2020, 1, 1)), kUS));
  EXPECT_FALSE(IsNumeric(Variant::Missing(), kUS));

  EXPECT_TRUE(IsDate(Variant(Date(2020, 1, 1)), kUS));
  EXPECT_TRUE(IsDate(Variant("12/31/2020"), kUS));
  EXPECT_FALSE(IsDate(Variant("31/12/2020"), kUS));
  EXPECT_TRUE(IsDate(Variant("31/12/2020"), kUK));
  EXPECT_FALSE(IsDate(Variant(45000.0), kUS));
  EXPECT_FALSE(IsDate(Variant::Null(), kUS));
}

TEST(Coercion, ChangeTypeDispatchesToTheTargetSubtype) {
  EXPECT_EQ(ChangeType(Variant("3.5"), vbInteger, kUS).I2(), 4);
  EXPECT_EQ(ChangeType(Variant(2.5), vbLong, kUS).I4(), 2);
  EXPECT_EQ(ChangeType(Variant(int32_t{200}), vbByte, kUS).Byte(), 200);
  EXPECT_EQ(ChangeType(Variant(int32_t{3}), vbString, kUS).Str(), "3");
  EXPECT_EQ(ChangeType(Variant("1.25"), vbCurrency, kUS).Cy().scaled, 12500);
  EXPECT_TRUE(ChangeType(Variant("12.5"), vbDecimal, kUS).Dec().Equals(Decimal::Parse("12.5")));
  EXPECT_FLOAT_EQ(ChangeType(Variant("0.5"), vbSingle, kUS).R4(), 0.5f);
  EXPECT_TRUE(ChangeType(Variant(int32_t{1}), vbBoolean, kUS).Bool());
  EXPECT_EQ(ChangeType(Variant("1/2/2020"), vbDate, kUS).DateValue(), Date(2020, 1, 2));
  EXPECT_EQ(ChangeType(Variant::Null(), vbVariant, kUS).VarType(), vbNull);
  EXPECT_EQ(ChangeType(Variant::Missing(), vbVariant, kUS).IsMissing(), true);
  EXPECT_AUTOMATION_ERROR(ChangeType(Variant(SafeArray(0, 1)), vbString, kUS), 13, "", "");
  EXPECT_AUTOMATION_ERROR(ChangeType(Variant(int32_t{1}), vbObject, kUS), 13, "", "");
  EXPECT_AUTOMATION_ERROR(ChangeType(Variant::Null(), vbString, kUS), 94, "", "");
  EXPECT_AUTOMATION_ERROR(ChangeType(Variant("abc"), vbLong, kUS), 13, "", "");
  EXPECT_AUTOMATION_ERROR(ChangeType(Variant(int32_t{-1}), vbByte, kUS), 6, "", "");
}

}  // namespace
}  // namespace orvex
