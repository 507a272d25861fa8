#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "decimal_math.hpp"
#include "orvex/automation_error.hpp"
#include "orvex/decimal.hpp"

namespace orvex {

using decimal_math::Magnitude;
using decimal_math::Uint128;

namespace {

std::string DigitsOf(Uint128 magnitude) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
    magnitude /= 10;
  } while (magnitude != 0);
  return digits;
}

// Reads "[+-]digits[.digits][(e|E)[+-]digits]"; false on anything else.
bool SplitNumber(const std::string& text, std::string& digits, int& exponent, bool& negative) {
  size_t i = 0;
  negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  exponent = 0;
  bool anyDigit = false;
  bool seenPoint = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      digits += c;
      anyDigit = true;
      if (seenPoint) --exponent;
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    int written = 0;
    const char* begin = text.data() + i;
    if (i < text.size() && text[i] == '+') ++begin;
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), written);
    if (error != std::errc() || end == begin) return false;
    if (written > 100 || written < -100) return false;
    exponent += written;
    i = static_cast<size_t>(end - text.data());
  }
  return i == text.size();
}

}  // namespace

Decimal Decimal::FromDouble(double value) {
  if (!std::isfinite(value)) Raise(errOverflow);
  // The runtime keeps fifteen significant digits of a double, so 0.1 becomes exactly 0.1.
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
  std::string text(buffer);
  const size_t e = text.find('e');
  std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
  const int exponent = std::atoi(text.c_str() + e + 1) - 14;
  return decimal_math::FromDigits(digits, exponent, value < 0, true);
}

Decimal Decimal::FromInt64(int64_t value) {
  const bool negative = value < 0;
  const Uint128 magnitude = negative
                                ? static_cast<Uint128>(-static_cast<decimal_math::Int128>(value))
                                : static_cast<Uint128>(value);
  return decimal_math::Make(magnitude, 0, negative);
}

std::string Decimal::ToString() const {
  std::string digits = DigitsOf(Magnitude(*this));
  if (digits.size() <= scale) digits.insert(0, scale + 1 - digits.size(), '0');
  if (scale > 0) digits.insert(digits.size() - scale, 1, '.');
  return (negative && Magnitude(*this) != 0 ? "-" : "") + digits;
}

Decimal Decimal::Parse(const std::string& text) {
  std::string digits;
  int exponent = 0;
  bool isNegative = false;
  if (!SplitNumber(text, digits, exponent, isNegative)) {
    Raise(errTypeMismatch);
  }
  return decimal_math::FromDigits(digits, exponent, isNegative, false);
}

double Decimal::ToDouble() const {
  const std::string text = ToString();
  double value = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

bool Decimal::Equals(const Decimal& other) const {
  Uint128 left = Magnitude(*this);
  Uint128 right = Magnitude(other);
  int leftScale = scale;
  int rightScale = other.scale;
  while (leftScale > 0 && left % 10 == 0) left /= 10, --leftScale;
  while (rightScale > 0 && right % 10 == 0) right /= 10, --rightScale;
  if (left == 0 && right == 0) return true;
  return left == right && leftScale == rightScale && negative == other.negative;
}

}  // namespace orvex
