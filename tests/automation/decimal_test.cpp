#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "orvex/variant.hpp"
#include "support/automation_matchers.hpp"
#include "support/locales.hpp"

namespace orvex {
namespace {

using testing::kUS;

TEST(Currency, KeepsFourPlacesRoundingHalvesToEven) {
  EXPECT_EQ(Currency::FromDouble(1.5).scaled, 15000);
  EXPECT_EQ(Currency::FromDouble(-2.25).scaled, -22500);
  EXPECT_EQ(Currency::FromDouble(0.00005).scaled, 0);  // exactly half below, to even
  EXPECT_EQ(Currency::FromDouble(0.00015).scaled, 2);
  EXPECT_EQ(Currency::FromDouble(0.000051).scaled, 1);
  EXPECT_DOUBLE_EQ(Currency{-12345}.ToDouble(), -1.2345);
  EXPECT_EQ(Currency::FromDouble(922337203685477.0).scaled, 9223372036854770000);
  EXPECT_AUTOMATION_ERROR(Currency::FromDouble(922337203685477.6), 6, "", "");
  EXPECT_AUTOMATION_ERROR(Currency::FromDouble(std::nan("")), 6, "", "");

  // Text goes through exactly, without a detour by double.
  EXPECT_EQ(CCur(Variant("922337203685477.5807"), kUS).scaled, INT64_MAX);
  EXPECT_EQ(CCur(Variant("1.00005"), kUS).scaled, 10000);
  EXPECT_EQ(CCur(Variant("1.00015"), kUS).scaled, 10002);
  EXPECT_AUTOMATION_ERROR(CCur(Variant("922337203685477.5808"), kUS), 6, "", "");
}

TEST(Decimal, ParsesAndPrintsExactly) {
  EXPECT_EQ(Decimal::Parse("-12.50").ToString(), "-12.50");
  EXPECT_EQ(Decimal::Parse("0.001").ToString(), "0.001");
  EXPECT_EQ(Decimal::Parse("+7").ToString(), "7");
  EXPECT_EQ(Decimal::Parse("-0").ToString(), "0");
  EXPECT_EQ(Decimal::Parse("79228162514264337593543950335").ToString(),
            "79228162514264337593543950335");
  EXPECT_EQ(Decimal::Parse("1.5e3").ToString(), "1500");
  EXPECT_DOUBLE_EQ(Decimal::Parse("-12.5").ToDouble(), -12.5);
  EXPECT_AUTOMATION_ERROR(Decimal::Parse("79228162514264337593543950336"), 6, "", "");
  EXPECT_AUTOMATION_ERROR(Decimal::Parse("12,5"), 13, "", "");
  EXPECT_AUTOMATION_ERROR(Decimal::Parse(""), 13, "", "");
  EXPECT_AUTOMATION_ERROR(Decimal::Parse("1.2.3"), 13, "", "");
}

TEST(Decimal, RoundsBeyondTwentyEightPlacesHalfToEven) {
  EXPECT_EQ(Decimal::Parse("0.00000000000000000000000000025").ToString(),
            "0.0000000000000000000000000002");
  EXPECT_EQ(Decimal::Parse("0.00000000000000000000000000035").ToString(),
            "0.0000000000000000000000000004");
  EXPECT_EQ(Decimal::Parse("0.000000000000000000000000000251").ToString(),
            "0.0000000000000000000000000003");
  // Twenty-nine significant digits with a fraction lose places until they fit.
  EXPECT_EQ(Decimal::Parse("7.9228162514264337593543950335").ToString(),
            "7.9228162514264337593543950335");
  EXPECT_EQ(Decimal::Parse("9.9999999999999999999999999999").ToString(),
            "10.000000000000000000000000000");
  EXPECT_TRUE(Decimal::Parse("99.999999999999999999999999999").Equals(Decimal::FromInt64(100)));
  EXPECT_EQ(Decimal::Parse("1.2345678901234567890123456789").ToString(),
            "1.2345678901234567890123456789");
}

TEST(Decimal, FromDoubleKeepsFifteenDigits) {
  EXPECT_EQ(Decimal::FromDouble(0.1).ToString(), "0.1");
  EXPECT_EQ(Decimal::FromDouble(0.1 + 0.2).ToString(), "0.3");
  EXPECT_EQ(Decimal::FromDouble(-2.5).ToString(), "-2.5");
  EXPECT_EQ(Decimal::FromDouble(1e20).ToString(), "100000000000000000000");
  EXPECT_EQ(Decimal::FromDouble(0.0).ToString(), "0");
  EXPECT_EQ(Decimal::FromInt64(INT64_MIN).ToString(), "-9223372036854775808");
  EXPECT_AUTOMATION_ERROR(Decimal::FromDouble(1e29), 6, "", "");
  EXPECT_AUTOMATION_ERROR(Decimal::FromDouble(std::numeric_limits<double>::infinity()), 6, "", "");
}

TEST(Decimal, EqualsComparesValues) {
  EXPECT_TRUE(Decimal::Parse("1.0").Equals(Decimal::Parse("1.00")));
  EXPECT_TRUE(Decimal::Parse("0").Equals(Decimal::Parse("-0.000")));
  EXPECT_FALSE(Decimal::Parse("1.5").Equals(Decimal::Parse("-1.5")));
  EXPECT_FALSE(Decimal::Parse("1.5").Equals(Decimal::Parse("15")));
}

TEST(Decimal, CoercionsInAndOut) {
  EXPECT_EQ(CDec(Variant("1,234.5"), kUS).ToString(), "1234.5");
  EXPECT_EQ(CDec(Variant(Currency{12345}), kUS).ToString(), "1.2345");
  EXPECT_EQ(CDec(Variant(0.1f), kUS).ToString(), "0.1");
  EXPECT_EQ(CDec(Variant(int16_t{-3}), kUS).ToString(), "-3");
  EXPECT_EQ(CDec(Variant(true), kUS).ToString(), "-1");
  EXPECT_EQ(CCur(Variant(Decimal::Parse("2.00005")), kUS).scaled, 20000);
  EXPECT_EQ(CCur(Variant(Decimal::Parse("2.00015")), kUS).scaled, 20002);
  EXPECT_EQ(CInt(Variant(Decimal::Parse("32766.5")), kUS), 32766);
  EXPECT_AUTOMATION_ERROR(CInt(Variant(Decimal::Parse("32767.5")), kUS), 6, "", "");
}

}  // namespace
}  // namespace orvex
