#include "decimal_math.hpp"
#include "orvex/decimal.hpp"

namespace orvex {

Currency Currency::FromDouble(double value) {
  // Through the double's fifteen significant digits, so that 0.00015 is the half it was
  // written as, not the binary value just below it; then half to even at four places.
  return decimal_math::ToCurrency(Decimal::FromDouble(value));
}

}  // namespace orvex
