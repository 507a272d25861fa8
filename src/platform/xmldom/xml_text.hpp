// Text that the document model stores: made safe for XML, and the text form of dates.
#pragma once

#include <string>
#include <string_view>

#include "orvex/date.hpp"

namespace orvex::xmldom {

// Length of the well-formed UTF-8 sequence at pos that XML 1.0 allows as a character, or 0.
size_t AllowedSequenceLength(std::string_view text, size_t pos);
// The text with every character that XML 1.0 cannot hold (control characters other than tab,
// CR and LF, U+FFFE, U+FFFF, malformed UTF-8) replaced by U+FFFD.
std::string XmlSafeText(std::string_view text);
// ISO 8601 local time without zone: 2026-12-05T19:29:54.
std::string IsoDateText(const Date& value);

}  // namespace orvex::xmldom
