// GMessage: shows a text in a modal message box, laid out right to left for Arabic.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "orvex/export.h"
#include "orvex/variant.hpp"

ORVEX_PUBLIC_BEGIN

namespace orvex {

// Message-box style flags of the right-to-left layout.
inline constexpr int32_t kStyleRight = 0x00080000;
inline constexpr int32_t kStyleRtlReading = 0x00100000;

// The style for a language: Buttons + right alignment + right-to-left reading when the language
// is exactly "Arabic" (two additions, not bit operations); the style unchanged otherwise.
// Empty when an addition overflows 32 bits.
std::optional<int32_t> StyleForLanguage(int32_t buttons, const std::string& language);

class GMessage : public Object {
 public:
  GMessage();
  // Shows the box through the Host; the answer 1..7, or 0 when no box could be shown. Never
  // raises.
  int32_t ShowText(const std::string& MessageText, int32_t Buttons = 0,
                   const std::string& Source = "", const std::string& Language = "",
                   const std::string& Helpfile = "", int32_t HelpContext = 0);
};

}  // namespace orvex

ORVEX_PUBLIC_END
