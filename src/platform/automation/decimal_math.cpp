#include "decimal_math.hpp"

#include <algorithm>
#include <limits>

#include "orvex/automation_error.hpp"

namespace orvex::decimal_math {

namespace {

constexpr int kMaxScale = 28;
const Uint128 kLimit = static_cast<Uint128>(1) << 96;

// Drops the last count digits, rounding half to even on what was dropped.
std::string RoundOff(const std::string& digits, size_t count) {
  if (count == 0) return digits;
  std::string padded = digits;
  if (padded.size() < count + 1) padded.insert(0, count + 1 - padded.size(), '0');
  std::string kept = padded.substr(0, padded.size() - count);
  const char first = padded[kept.size()];
  const bool sticky = padded.find_first_not_of('0', kept.size() + 1) != std::string::npos;
  const bool odd = (kept.back() - '0') % 2 == 1;
  if (first > '5' || (first == '5' && (sticky || odd))) {
    size_t i = kept.size();
    while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
    if (i == 0) {
      kept.insert(0, 1, '1');
    } else {
      ++kept[i - 1];
    }
  }
  return kept;
}

// Parses the digits into a 128-bit magnitude; false when it reaches 2^96.
bool Accumulate(const std::string& digits, Uint128& magnitude) {
  magnitude = 0;
  for (char digit : digits) {
    magnitude = magnitude * 10 + static_cast<unsigned>(digit - '0');
    if (magnitude >= kLimit) return false;
  }
  return true;
}

}  // namespace

Uint128 Magnitude(const Decimal& value) {
  return (static_cast<Uint128>(value.hi) << 64) | value.lo;
}

Decimal Make(Uint128 magnitude, int scale, bool negative) {
  if (magnitude >= kLimit) Raise(errOverflow);
  Decimal result;
  result.hi = static_cast<uint32_t>(magnitude >> 64);
  result.lo = static_cast<uint64_t>(magnitude);
  result.scale = static_cast<uint8_t>(scale);
  result.negative = negative && magnitude != 0;
  return result;
}

Decimal FromDigits(std::string digits, int exponent, bool negative, bool normalise) {
  const size_t firstSignificant = digits.find_first_not_of('0');
  digits = firstSignificant == std::string::npos ? "" : digits.substr(firstSignificant);
  if (digits.empty()) return Make(0, 0, false);
  int scale = -exponent;
  if (scale < 0) {
    if (digits.size() + static_cast<size_t>(-scale) > 30) Raise(errOverflow);
    digits.append(static_cast<size_t>(-scale), '0');
    scale = 0;
  }
  if (scale > kMaxScale) {
    digits = RoundOff(digits, static_cast<size_t>(scale - kMaxScale));
    scale = kMaxScale;
  }
  Uint128 magnitude = 0;
  while (digits.size() > 30 || !Accumulate(digits, magnitude)) {
    // Too many significant digits: give up fraction places until the value fits.
    if (scale == 0) Raise(errOverflow);
    digits = RoundOff(digits, 1);
    --scale;
  }
  while (normalise && scale > 0 && magnitude % 10 == 0) {
    magnitude /= 10;
    --scale;
  }
  return Make(magnitude, scale, negative);
}

Int128 RoundToInteger(const Decimal& value) {
  Uint128 magnitude = Magnitude(value);
  Uint128 divisor = 1;
  for (int i = 0; i < value.scale; ++i) divisor *= 10;
  Uint128 whole = magnitude / divisor;
  const Uint128 remainder = magnitude % divisor;
  const Uint128 twice = remainder * 2;
  if (twice > divisor || (twice == divisor && whole % 2 == 1)) ++whole;
  const Int128 signedWhole = static_cast<Int128>(whole);
  return value.negative ? -signedWhole : signedWhole;
}

Decimal FromCurrency(int64_t scaled) {
  const bool negative = scaled < 0;
  const Uint128 magnitude = negative ? static_cast<Uint128>(-(static_cast<Int128>(scaled)))
                                     : static_cast<Uint128>(scaled);
  Decimal result = Make(magnitude, 4, negative);
  while (result.scale > 0 && Magnitude(result) % 10 == 0) {
    result = Make(Magnitude(result) / 10, result.scale - 1, negative);
  }
  return result;
}

Currency ToCurrency(const Decimal& value) {
  Int128 scaled = 0;
  if (value.scale >= 4) {
    Decimal shifted = value;
    shifted.scale = static_cast<uint8_t>(value.scale - 4);
    scaled = RoundToInteger(shifted);
  } else {
    Int128 magnitude = static_cast<Int128>(Magnitude(value));
    for (int i = value.scale; i < 4; ++i) magnitude *= 10;
    scaled = value.negative ? -magnitude : magnitude;
  }
  if (scaled < std::numeric_limits<int64_t>::min() ||
      scaled > std::numeric_limits<int64_t>::max()) {
    Raise(errOverflow);
  }
  return Currency{static_cast<int64_t>(scaled)};
}

}  // namespace orvex::decimal_math
