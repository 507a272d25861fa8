// A transaction record as a client hands it to LogXaction: a SafeArray of values, from lower
// bound 1 unless the test says otherwise.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "orvex/variant.hpp"

namespace orvex::testing {

inline SafeArray Record(std::vector<Variant> values, int32_t lowerBound = 1) {
  return SafeArray::Of(lowerBound, std::move(values));
}

}  // namespace orvex::testing
