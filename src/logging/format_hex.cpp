#include "logging/format_hex.hpp"

#include <charconv>
#include <cstdio>

#include "orvex/modules.hpp"

namespace orvex::logging {

std::string FormatHex(int32_t value, int16_t digits) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%X", static_cast<uint32_t>(value));
  if (digits <= 0) return "";
  std::string padded = std::string(static_cast<size_t>(digits), '0') + hex;
  return padded.substr(padded.size() - static_cast<size_t>(digits));
}

std::string NumberText(int32_t number) { return std::string(NumberChars(number).View()); }

NumberChars::NumberChars(int32_t number) {
  const bool component = MErrors::IsNonSevere(number) || MErrors::IsSevere(number);
  if (!component && number < 0) {
    const std::string hex = FormatHex(number, 8);  // always eight digits: the top bit is set
    size_ = hex.copy(chars_, sizeof chars_);
    return;
  }
  const int32_t shown = component ? MErrors::PlainErrNumber(number) : number;
  size_ = static_cast<size_t>(std::to_chars(chars_, chars_ + sizeof chars_, shown).ptr - chars_);
}

}  // namespace orvex::logging
