#include "logging/format_hex.hpp"

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

std::string NumberText(int32_t number) {
  const bool component = MErrors::IsNonSevere(number) || MErrors::IsSevere(number);
  if (!component && number < 0) return FormatHex(number, 8);  // the top bit is set: 8 digits
  return std::to_string(component ? MErrors::PlainErrNumber(number) : number);
}

}  // namespace orvex::logging
