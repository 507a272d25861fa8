// Conversions between the library's UTF-8 strings and the UTF-16LE bytes of Unicode files.
#pragma once

#include <string>
#include <string_view>

namespace orvex::scripting {

// Appends the UTF-16LE bytes of the text to `out` (whose capacity a writer can reuse from
// record to record); a malformed UTF-8 sequence becomes U+FFFD.
void AppendUtf16LE(std::string_view utf8, std::string& out);
// UTF-8 text of UTF-16LE bytes; an unpaired surrogate or odd last byte becomes U+FFFD.
std::string Utf16LEToUtf8(std::string_view utf16);

}  // namespace orvex::scripting
