// Numbers as text in a locale: reading text as a number the way the runtime's coercions do, and
// writing doubles the way the runtime prints them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "orvex/decimal.hpp"
#include "orvex/locale.hpp"

namespace orvex::number_text {

// A number read from text, kept exact: digits x 10^exponent with a sign.
struct ReadValue {
  std::string digits;
  int exponent = 0;
  bool negative = false;
  std::optional<double> hexValue;  // set for "&H1F" / "&O17" text
};

std::optional<ReadValue> Read(std::string_view text, const Locale& locale);
// Raises 6 when the value is beyond the range of a double.
double ToDouble(const ReadValue& value);
Decimal ToDecimal(const ReadValue& value);

// Up to significantDigits significant digits, trailing zeros dropped, "1E+20" style for large
// and small magnitudes, the locale's decimal separator and no grouping.
std::string FormatDouble(double value, int significantDigits, const Locale& locale);
// "NaN", "Infinity" or "-Infinity": the text of a value that is not finite.
std::string NonFiniteText(double value);
// Replaces the "." of plain number text by the locale's decimal separator.
std::string LocalisePoint(std::string text, const Locale& locale);

}  // namespace orvex::number_text
