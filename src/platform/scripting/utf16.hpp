// Conversions between the library's UTF-8 strings and the UTF-16LE bytes of Unicode files.
#pragma once

#include <string>
#include <string_view>

namespace orvex::scripting {

// Writes the UTF-16LE bytes of the text at `out`, which has room for 2 * utf8.size() bytes (the
// most the text can need), and returns how many it wrote; a malformed UTF-8 sequence becomes
// U+FFFD. A writer keeps the room from record to record.
size_t WriteUtf16LE(std::string_view utf8, char* out);
// UTF-8 text of UTF-16LE bytes; an unpaired surrogate or odd last byte becomes U+FFFD.
std::string Utf16LEToUtf8(std::string_view utf16);

}  // namespace orvex::scripting
