#include "platform/xmldom/xml_text.hpp"

#include <cstdint>
#include <cstdio>

namespace orvex::xmldom {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

}  // namespace

size_t AllowedSequenceLength(std::string_view text, size_t pos) {
  auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  uint8_t lead = byte(pos);
  if (lead < 0x80) return (lead >= 0x20 || lead == 0x9 || lead == 0xA || lead == 0xD) ? 1 : 0;
  size_t length = (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || pos + length > text.size()) return 0;
  uint32_t code = lead & (0xFF >> (length + 1));
  for (size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(pos + i) & 0x3F);
  }
  static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || code > 0x10FFFF) return 0;
  if ((code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF) return 0;
  return length;
}

std::string XmlSafeText(std::string_view text) {
  std::string safe;
  safe.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    size_t length = AllowedSequenceLength(text, pos);
    if (length == 0) {
      safe += kReplacement;
      ++pos;
    } else {
      safe.append(text.substr(pos, length));
      pos += length;
    }
  }
  return safe;
}

std::string IsoDateText(const Date& value) {
  DateParts parts = value.Parts();
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", parts.year, parts.month,
                parts.day, parts.hour, parts.minute, parts.second);
  return text;
}

}  // namespace orvex::xmldom
