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

// Converts the value for a parameter of the type and size that held "previous": what the call
// returned, and the parameter's value afterwards as "subtype text" ("Null" for Null).
std::string Convert(int32_t type, const Variant& value, int32_t size = 0) {
  data::Parameter parameter;
  parameter.Type = type;
  parameter.Size = size;
  parameter.Value = Variant("previous");
  const bool assigned = SetParameterValue(parameter, value);
  const Variant& v = parameter.Value;
  return std::string(assigned ? "" : "refused ") + std::to_string(v.VarType()) + " " +
         (v.IsNull() ? "Null" : CStr(v));
}

TEST(SetParameterValue, EachTypeTakesItsSubtypeWithinItsRangeAndSize) {
  HostGuard host;
  const std::string longText(300, 'x');
  const std::string refused = "refused 8 previous";  // the value stays as it was
  struct Case {
    int32_t type;
    Variant value;
    int32_t size;
    std::string expected;  // see Convert
  } cases[] = {
      // Integers round half to even and keep their range.
      {data::adSmallInt, Variant(3.5), 0, "2 4"},
      {data::adSmallInt, Variant(2.5), 0, "2 2"},
      {data::adSmallInt, Variant(40000), 0, refused},
      // adInteger and the unsigned 16/32-bit types (18, 19) take the integer of their size.
      {data::adInteger, Variant("123"), 4, "3 123"},
      {data::adInteger, Variant(7), 2, "2 7"},
      {18, Variant(7), 1, "17 7"},
      {19, Variant(70000), 4, "3 70000"},
      {data::adInteger, Variant("abc"), 4, refused},
      {data::adInteger, Variant(5), 8, "8 previous"},  // other sizes store nothing
      // The tiny integers are bytes, for the signed type too.
      {data::adTinyInt, Variant(-1), 0, refused},
      {data::adUnsignedTinyInt, Variant(256), 0, refused},
      {data::adTinyInt, Variant(255), 0, "17 255"},
      // Text is cut to the parameter's size in characters, not bytes.
      {data::adVarChar, Variant(longText), 255, "8 " + std::string(255, 'x')},
      {data::adVarChar, Variant::Null(), 255, refused},
      {data::adVarWChar, Variant("\u0645\u0631\u062D\u0628\u0627"), 2, "8 \u0645\u0631"},
      {data::adChar, Variant(12), 10, "8 12"},
      {data::adBSTR, Variant("short"), 10, "8 short"},
      {data::adLongVarWChar, Variant(longText), 10, "8 " + longText},  // no conversion, uncut
      // Numeric takes the leading number of other text.
      {data::adNumeric, Variant("12abc"), 0, "14 12"},
      {data::adNumeric, Variant("abc"), 0, "14 0"},
      {data::adNumeric, Variant(" -1\t2.5e1\r\nx"), 0, "14 -125"},  // blanks anywhere
      {data::adNumeric, Variant("3.25"), 0, "14 3.25"},
      {data::adNumeric, Variant(1.5), 0, "14 1.5"},
      {data::adNumeric, Variant::Null(), 0, refused},
      {data::adDouble, Variant("2.5"), 0, "5 2.5"},
      {data::adDouble, Variant("abc"), 0, refused},
      {data::adSingle, Variant(0.5), 0, "4 0.5"},
      {data::adCurrency, Variant(1.23456), 0, "6 1.2346"},
      {data::adBigInt, Variant(5), 0, "6 5"},
      {data::adBoolean, Variant(1), 0, "11 True"},
      {data::adDecimal, Variant("0.125"), 0, "14 0.125"},
      // Variants and binaries take the value itself, Null included.
      {data::adVariant, Variant::Null(), 0, "1 Null"},
      {data::adLongVarBinary, Variant(3), 0, "3 3"},
  };
  for (const Case& c : cases) EXPECT_EQ(Convert(c.type, c.value, c.size), c.expected) << c.type;
  EXPECT_FALSE(SetParameterValue(std::shared_ptr<data::Parameter>(), Variant(1)));
}

TEST(SetParameterValue, DatesWithDotsAreReadDayFirstInADayFirstLocale) {
  HostGuard host;
  // Each date is read, and shown, in the locale of its row.
  struct Case {
    bool dayFirst;
    int32_t type;
    Variant value;
    std::string expected;
  } cases[] = {
      {true, data::adDate, Variant("05.12.2026"), "7 05/12/2026"},
      {true, data::adDBDate, Variant("05/12/2026"), "7 05/12/2026"},
      {true, data::adDBTimeStamp, Variant("2026/12/05"), "7 05/12/2026"},
      {false, data::adDate, Variant("12.05.2026"), "7 12/5/2026"},
      {false, data::adDate, Variant("2026/12/05"), "7 12/5/2026"},
      {false, data::adDate, Variant(Date(2026, 12, 5, 19, 29, 54)), "7 12/5/2026 7:29:54 PM"},
      // Inside the date path failures are ignored: true, and the value stays.
      {false, data::adDBTimeStamp, Variant("not a date"), "8 previous"},
      {false, data::adDate, Variant(), "8 previous"},
      {false, data::adDate, Variant::Null(), "8 previous"},
  };
  for (const Case& c : cases) {
    host->locale = c.dayFirst ? Locale::EnglishUK() : Locale::EnglishUS();
    EXPECT_EQ(Convert(c.type, c.value), c.expected) << c.type;
  }
}

TEST(DefaultValueForType, EachTypeGroupHasItsPlaceholder) {
  HostGuard host;
  const std::pair<std::vector<int32_t>, std::string> groups[] = {
      {{data::adDate, data::adDBDate, data::adDBTime}, "7 12/5/2026 7:29:54 PM"},  // now
      {{8, 129, 130, 200, 201, 202, 203}, "8  "},
      {{data::adBoolean}, "11 True"},
      {{data::adDBTimeStamp, data::adInteger, data::adNumeric, 999}, "2 0"},
  };
  for (const auto& [types, expected] : groups)
    for (int32_t type : types) {
      Variant value = DefaultValueForType(type);
      EXPECT_EQ(std::to_string(value.VarType()) + " " + CStr(value), expected) << type;
    }
}

}  // namespace
}  // namespace orvex
