// Checks on the UTF-8 that translation files carry.
#pragma once

#include <string_view>

namespace orvex::textexchange {

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF).
bool IsUtf8(std::string_view text);

}  // namespace orvex::textexchange
