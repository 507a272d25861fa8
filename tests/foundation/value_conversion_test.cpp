#include "orvex/value_conversion.hpp"

#include <gtest/gtest.h>

#include <string>

#include "orvex/data.hpp"
#include "support/recording_host.hpp"

namespace orvex {
namespace {

using MComponent::DefaultValueForType;
using MComponent::SetParameterValue;
using testing::HostGuard;

data::Parameter ParameterOf(int32_t type, int32_t size = 0) {
  data::Parameter parameter;
  parameter.Type = type;
  parameter.Size = size;
  parameter.Value = Variant("previous");
  return parameter;
}

// Converts value for a parameter of the type and size; the parameter's value afterwards.
struct Outcome {
  bool assigned;
  Variant value;
};
Outcome Convert(int32_t type, const Variant& value, int32_t size = 0) {
  data::Parameter parameter = ParameterOf(type, size);
  bool assigned = SetParameterValue(parameter, value);
  return {assigned, parameter.Value};
}

void ExpectUnchanged(const Outcome& outcome, bool result) {
  EXPECT_EQ(outcome.assigned, result);
  ASSERT_EQ(outcome.value.VarType(), vbString);
  EXPECT_EQ(outcome.value.Str(), "previous");
}

TEST(SetParameterValue, IntegersRoundHalfToEvenAndKeepTheirRange) {
  HostGuard host;
  Outcome up = Convert(data::adSmallInt, Variant(3.5));
  ASSERT_TRUE(up.assigned);
  EXPECT_EQ(up.value.VarType(), vbInteger);
  EXPECT_EQ(up.value.I2(), 4);
  EXPECT_EQ(Convert(data::adSmallInt, Variant(2.5)).value.I2(), 2);
  ExpectUnchanged(Convert(data::adSmallInt, Variant(40000)), false);

  // adInteger and the unsigned 16/32-bit types take the integer of the parameter's size.
  Outcome four = Convert(data::adInteger, Variant("123"), 4);
  EXPECT_EQ(four.value.VarType(), vbLong);
  EXPECT_EQ(four.value.I4(), 123);
  EXPECT_EQ(Convert(data::adInteger, Variant(7), 2).value.VarType(), vbInteger);
  EXPECT_EQ(Convert(18, Variant(7), 1).value.VarType(), vbByte);
  EXPECT_EQ(Convert(19, Variant(70000), 4).value.I4(), 70000);
  ExpectUnchanged(Convert(data::adInteger, Variant("abc"), 4), false);
  ExpectUnchanged(Convert(data::adInteger, Variant(5), 8), true);  // other sizes store nothing

  // The tiny integers are bytes, for the signed type too.
  ExpectUnchanged(Convert(data::adTinyInt, Variant(-1)), false);
  ExpectUnchanged(Convert(data::adUnsignedTinyInt, Variant(256)), false);
  Outcome byte = Convert(data::adTinyInt, Variant(255));
  EXPECT_EQ(byte.value.VarType(), vbByte);
  EXPECT_EQ(byte.value.Byte(), 255);
}

TEST(SetParameterValue, TextIsCutToTheParameterSizeInCharacters) {
  HostGuard host;
  const std::string longText(300, 'x');
  Outcome cut = Convert(data::adVarChar, Variant(longText), 255);
  ASSERT_TRUE(cut.assigned);
  EXPECT_EQ(cut.value.Str(), std::string(255, 'x'));
  ExpectUnchanged(Convert(data::adVarChar, Variant::Null(), 255), false);
  // Characters, not bytes: an Arabic word keeps whole letters.
  EXPECT_EQ(Convert(data::adVarWChar, Variant("\u0645\u0631\u062D\u0628\u0627"), 2).value.Str(),
            "\u0645\u0631");
  Outcome number = Convert(data::adChar, Variant(12), 10);
  EXPECT_EQ(number.value.VarType(), vbString);
  EXPECT_EQ(number.value.Str(), "12");
  EXPECT_EQ(Convert(data::adBSTR, Variant("short"), 10).value.Str(), "short");
  // adLongVarWChar has no conversion: the value passes as it is, uncut.
  Outcome passed = Convert(data::adLongVarWChar, Variant(longText), 10);
  EXPECT_EQ(passed.value.Str(), longText);
}

TEST(SetParameterValue, NumericTakesTheLeadingNumberOfOtherText) {
  HostGuard host;
  Outcome leading = Convert(data::adNumeric, Variant("12abc"));
  ASSERT_TRUE(leading.assigned);
  EXPECT_EQ(leading.value.VarType(), vbDecimal);
  EXPECT_TRUE(leading.value.Dec().Equals(Decimal::FromInt64(12)));
  EXPECT_TRUE(Convert(data::adNumeric, Variant("abc")).value.Dec().Equals(Decimal::FromInt64(0)));
  EXPECT_EQ(Convert(data::adNumeric, Variant(" -1 2.5e1x")).value.Dec().ToDouble(), -125.0);
  EXPECT_EQ(Convert(data::adNumeric, Variant("3.25")).value.Dec().ToString(), "3.25");
  EXPECT_EQ(Convert(data::adNumeric, Variant(1.5)).value.Dec().ToString(), "1.5");
  ExpectUnchanged(Convert(data::adNumeric, Variant::Null()), false);
}

TEST(SetParameterValue, OtherTypesTakeTheirSubtype) {
  HostGuard host;
  EXPECT_EQ(Convert(data::adDouble, Variant("2.5")).value.R8(), 2.5);
  EXPECT_EQ(Convert(data::adSingle, Variant(0.5)).value.VarType(), vbSingle);
  Outcome currency = Convert(data::adCurrency, Variant(1.23456));
  EXPECT_EQ(currency.value.VarType(), vbCurrency);
  EXPECT_EQ(currency.value.Cy().scaled, 12346);
  EXPECT_EQ(Convert(data::adBigInt, Variant(5)).value.VarType(), vbCurrency);
  EXPECT_EQ(Convert(data::adBoolean, Variant(1)).value.Bool(), true);
  EXPECT_EQ(Convert(data::adDecimal, Variant("0.125")).value.Dec().ToString(), "0.125");
  ExpectUnchanged(Convert(data::adDouble, Variant("abc")), false);
  // Variants and binaries take the value itself, Null included.
  EXPECT_TRUE(Convert(data::adVariant, Variant::Null()).value.IsNull());
  EXPECT_EQ(Convert(data::adLongVarBinary, Variant(3)).value.VarType(), vbLong);
  EXPECT_FALSE(SetParameterValue(std::shared_ptr<data::Parameter>(), Variant(1)));
}

TEST(SetParameterValue, DatesWithDotsAreReadDayFirstInADayFirstLocale) {
  HostGuard host;
  host->locale = Locale::EnglishUK();
  Outcome dotted = Convert(data::adDate, Variant("05.12.2026"));
  ASSERT_TRUE(dotted.assigned);
  ASSERT_EQ(dotted.value.VarType(), vbDate);
  EXPECT_EQ(dotted.value.DateValue(), Date(2026, 12, 5));
  EXPECT_EQ(Convert(data::adDBDate, Variant("05/12/2026")).value.DateValue(), Date(2026, 12, 5));
  EXPECT_EQ(Convert(data::adDBTimeStamp, Variant("2026/12/05")).value.DateValue(),
            Date(2026, 12, 5));

  host->locale = Locale::EnglishUS();
  EXPECT_EQ(Convert(data::adDate, Variant("12.05.2026")).value.DateValue(), Date(2026, 12, 5));
  EXPECT_EQ(Convert(data::adDate, Variant("2026/12/05")).value.DateValue(), Date(2026, 12, 5));
  const Date moment(2026, 12, 5, 19, 29, 54);
  EXPECT_EQ(Convert(data::adDate, Variant(moment)).value.DateValue(), moment);

  // Inside the date path failures are ignored: true, and the value stays.
  ExpectUnchanged(Convert(data::adDBTimeStamp, Variant("not a date")), true);
  ExpectUnchanged(Convert(data::adDate, Variant()), true);
  ExpectUnchanged(Convert(data::adDate, Variant::Null()), true);
}

TEST(DefaultValueForType, EachTypeGroupHasItsPlaceholder) {
  HostGuard host;
  const int32_t dateTypes[] = {data::adDate, data::adDBDate, data::adDBTime};
  for (int32_t type : dateTypes) {
    SCOPED_TRACE(type);
    Variant value = DefaultValueForType(type);
    ASSERT_EQ(value.VarType(), vbDate);
    EXPECT_EQ(value.DateValue(), host->now);
  }
  for (int32_t type : {8, 129, 130, 200, 201, 202, 203}) {
    SCOPED_TRACE(type);
    EXPECT_EQ(DefaultValueForType(type).Str(), " ");
  }
  EXPECT_EQ(DefaultValueForType(data::adBoolean).Bool(), true);
  const int32_t zeroTypes[] = {data::adDBTimeStamp, data::adInteger, data::adNumeric, 999};
  for (int32_t type : zeroTypes) {
    SCOPED_TRACE(type);
    Variant value = DefaultValueForType(type);
    ASSERT_EQ(value.VarType(), vbInteger);
    EXPECT_EQ(value.I2(), 0);
  }
}

}  // namespace
}  // namespace orvex
