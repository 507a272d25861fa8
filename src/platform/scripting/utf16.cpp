#include "platform/scripting/utf16.hpp"

#include <cstdint>

namespace orvex::scripting {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at pos, advancing pos; malformed input gives U+FFFD and one byte.
char32_t NextCodePoint(std::string_view text, size_t& pos) {
  auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  uint8_t lead = byte(pos);
  size_t length = lead < 0x80           ? 1
                  : (lead >> 5) == 0x6  ? 2
                  : (lead >> 4) == 0xE  ? 3
                  : (lead >> 3) == 0x1E ? 4
                                        : 0;
  if (length == 1) return text[pos++];
  if (length == 0 || pos + length > text.size()) {
    ++pos;
    return kReplacement;
  }
  char32_t code = lead & (0xFF >> (length + 1));
  for (size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) {
      ++pos;
      return kReplacement;
    }
    code = (code << 6) | (byte(pos + i) & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  pos += length;
  bool invalid = code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF);
  return invalid ? kReplacement : code;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

}  // namespace

size_t WriteUtf16LE(std::string_view utf8, char* const out) {
  // Every UTF-8 byte gives at most two bytes of UTF-16 (a four-byte sequence gives four), so the
  // units are written straight into room of twice the size.
  char* next = out;
  auto put = [&next](char16_t unit) {
    *next++ = static_cast<char>(unit & 0xFF);
    *next++ = static_cast<char>(unit >> 8);
  };
  for (size_t pos = 0; pos < utf8.size();) {
    if (static_cast<uint8_t>(utf8[pos]) < 0x80) {
      put(static_cast<char16_t>(utf8[pos++]));
      continue;
    }
    char32_t code = NextCodePoint(utf8, pos);
    if (code >= 0x10000) {
      code -= 0x10000;
      put(static_cast<char16_t>(0xD800 + (code >> 10)));
      put(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      put(static_cast<char16_t>(code));
    }
  }
  return static_cast<size_t>(next - out);
}

std::string Utf16LEToUtf8(std::string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  auto unitAt = [&](size_t i) {
    return static_cast<char16_t>(static_cast<uint8_t>(utf16[i]) |
                                 (static_cast<uint8_t>(utf16[i + 1]) << 8));
  };
  size_t pos = 0;
  for (; pos + 1 < utf16.size(); pos += 2) {
    char16_t unit = unitAt(pos);
    bool high = unit >= 0xD800 && unit <= 0xDBFF;
    if (high && pos + 3 < utf16.size() && unitAt(pos + 2) >= 0xDC00 && unitAt(pos + 2) <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(pos + 2) - 0xDC00));
      pos += 2;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, unit);
    }
  }
  if (pos < utf16.size()) AppendUtf8(out, kReplacement);
  return out;
}

}  // namespace orvex::scripting
