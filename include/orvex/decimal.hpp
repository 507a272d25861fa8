// Currency (64-bit integer scaled by 10,000) and Decimal (96-bit integer with a power-of-ten
// scale of 0..28 and a sign), the two exact numeric types of the automation runtime.
#pragma once

#include <cstdint>
#include <string>
#include "orvex/export.h"

ORVEX_PUBLIC_BEGIN

namespace orvex {

struct Currency {
  int64_t scaled = 0;  // the value times 10,000

  // Raise error 6 when the value does not fit; fractions beyond 4 places round half to even.
  static Currency FromDouble(double value);
  double ToDouble() const { return static_cast<double>(scaled) / 10000.0; }
  friend bool operator==(const Currency&, const Currency&) = default;
};

struct Decimal {
  uint32_t hi = 0;    // high 32 bits of the 96-bit magnitude
  uint64_t lo = 0;    // low 64 bits of the magnitude
  uint8_t scale = 0;  // power of ten dividing the magnitude (0..28)
  bool negative = false;

  // Raise error 6 when the value does not fit.
  static Decimal FromDouble(double value);
  static Decimal FromInt64(int64_t value);
  // Plain decimal text with "." as the point (no locale), for instance "-12.50".
  std::string ToString() const;
  // Parses "-12.50" style text ("." point, no grouping); raises 13 on other text, 6 on overflow.
  static Decimal Parse(const std::string& text);
  double ToDouble() const;
  // Numeric equality (1.0 == 1.00).
  bool Equals(const Decimal& other) const;
};

}  // namespace orvex

ORVEX_PUBLIC_END
