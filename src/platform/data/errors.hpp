// Raising the errors of the data-access objects themselves.
#pragma once

#include <cstdint>
#include <string>

namespace orvex::data::internal {

// Raises number with the source "ORVEX.Data.<className>" and the description given, or the
// standard text of the data-access component for the number when none is given.
[[noreturn]] void RaiseDataError(int32_t number, const std::string& className,
                                 const std::string& description = "");

// The standard text of a data-access error number ("" for numbers without one).
std::string DataErrorText(int32_t number);

}  // namespace orvex::data::internal
