#include <cmath>

#include "orvex/automation_error.hpp"
#include "orvex/decimal.hpp"

namespace orvex {

Currency Currency::FromDouble(double value) {
  // nearbyint rounds half to even in the default rounding mode, as the runtime does.
  const double scaled = std::nearbyint(value * 10000.0);
  if (!(scaled >= -9223372036854775808.0 && scaled < 9223372036854775808.0)) Raise(errOverflow);
  return Currency{static_cast<int64_t>(scaled)};
}

}  // namespace orvex
