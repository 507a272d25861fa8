// The errors of the translation files, raised as non-severe component errors.
#pragma once

#include <cstdint>
#include <string>

namespace orvex::textexchange {

// Raises kErrExchangeFileInvalid naming the line when known.
[[noreturn]] void RaiseInvalidFile(const std::string& format, int32_t line,
                                   const std::string& what);
// Raises kErrExchangeTextUnfit for the text of an ID.
[[noreturn]] void RaiseUnfitText(const std::string& id, const std::string& what);

}  // namespace orvex::textexchange
