#include "orvex/host.hpp"
#include "orvex/modules.hpp"

namespace orvex::MUtility {

bool IsNT() {
  try {
    return CurrentHost().IsNT();
  } catch (...) {
    return false;
  }
}

int32_t ElementCount(const SafeArray& value) {
  try {
    int32_t lower = value.LBound(1);
    int32_t upper = value.UBound(1);
    // The first element must be addressable with one index, as a one-dimensional read does.
    if (value.Dims() != 1 || upper < lower) return 0;
    (void)value[lower];
    return upper - lower + 1;
  } catch (...) {
    return 0;
  }
}

int32_t ElementCount(const Variant& value) {
  try {
    if (!value.IsArray()) return 0;
    return ElementCount(value.Array());
  } catch (...) {
    return 0;
  }
}

}  // namespace orvex::MUtility
