// Exact arithmetic on Decimal values shared by the coercions: the 96-bit magnitude widened to
// a 128-bit integer, and construction from decimal digits with the runtime's rounding.
#pragma once

#include <string>

#include "orvex/decimal.hpp"

namespace orvex::decimal_math {

__extension__ typedef unsigned __int128 Uint128;
__extension__ typedef __int128 Int128;

Uint128 Magnitude(const Decimal& value);
// Raises error 6 when the magnitude needs more than 96 bits.
Decimal Make(Uint128 magnitude, int scale, bool negative);
// The value digits x 10^exponent. Fractions beyond 28 places, or beyond what 96 bits hold, are
// rounded half to even; a whole part that does not fit raises 6. With normalise, trailing zeros
// of the fraction are dropped.
Decimal FromDigits(std::string digits, int exponent, bool negative, bool normalise);
// The value rounded half to even to an integer.
Int128 RoundToInteger(const Decimal& value);
Decimal FromCurrency(int64_t scaled);
// The value times 10,000 rounded half to even; raises 6 beyond the currency range.
Currency ToCurrency(const Decimal& value);

}  // namespace orvex::decimal_math
