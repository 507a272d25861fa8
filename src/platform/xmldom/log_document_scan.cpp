#include "platform/xmldom/log_document_scan.hpp"

#include <array>
#include <climits>
#include <cstdint>
#include <cstring>

#include "platform/xmldom/xml_text.hpp"

namespace orvex::xmldom {
namespace {

// Far below the parser's own limits (names of 50,000 bytes, texts of 10,000,000, nesting of
// 256), so that nothing accepted here can trip one of them.
constexpr size_t kMaxNameLength = 1000;
constexpr size_t kMaxRunLength = size_t{4} << 20;
constexpr int kMaxDepth = 64;
constexpr size_t kMaxAttributes = 64;

// Bytes that need no closer look in text, attribute values and comments: printable ASCII, tab,
// LF and CR, except markup, references, quotes and ']' (which may start "]]>").
constexpr std::array<bool, 256> kPlainBytes = [] {
  std::array<bool, 256> plain{};
  for (int c = 0x20; c < 0x80; ++c) plain[c] = true;
  plain['\t'] = plain['\n'] = plain['\r'] = true;
  for (char special : {'<', '&', '"', '\'', ']'}) plain[static_cast<uint8_t>(special)] = false;
  return plain;
}();

constexpr std::array<bool, 256> kNameBytes = [] {
  std::array<bool, 256> name{};
  for (int c = 'A'; c <= 'Z'; ++c) name[c] = name[c + 32] = true;
  for (int c = '0'; c <= '9'; ++c) name[c] = true;
  name['_'] = name['.'] = name['-'] = true;
  return name;
}();

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsNameChar(char c) { return kNameBytes[static_cast<uint8_t>(c)]; }

// Eight bytes at a time: non-zero when any of them is non-ASCII, a control character or one of
// the three given bytes (exact as a yes or no; which byte it is, the caller looks at).
constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;
inline uint64_t ZeroBytes(uint64_t word) { return (word - kOnes) & ~word & kHighBits; }
inline uint64_t SpecialBytes(uint64_t word, char stop1, char stop2, char stop3) {
  return (word & kHighBits) | ((word - kOnes * 0x20) & ~word & kHighBits) |
         ZeroBytes(word ^ (kOnes * static_cast<uint8_t>(stop1))) |
         ZeroBytes(word ^ (kOnes * static_cast<uint8_t>(stop2))) |
         ZeroBytes(word ^ (kOnes * static_cast<uint8_t>(stop3)));
}

// "xml" in any case starts the names that XML reserves (xmlns, xml:space ...).
bool IsReservedName(std::string_view name) {
  if (name.size() < 3) return false;
  auto lower = [](char c) { return static_cast<char>(c | 0x20); };
  return lower(name[0]) == 'x' && lower(name[1]) == 'm' && lower(name[2]) == 'l';
}

bool IsXmlChar(uint32_t code) {
  return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
         (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

class Scanner {
 public:
  Scanner(std::string_view text, std::string_view rootName) : text_(text), rootName_(rootName) {}

  std::optional<LogDocumentLayout> Run() {
    if (text_.size() > static_cast<size_t>(INT_MAX)) return std::nullopt;
    Skip("\xEF\xBB\xBF");
    if (LookingAt("<?xml") && pos_ + 5 < text_.size() && IsSpace(text_[pos_ + 5])) {
      if (!Declaration()) return std::nullopt;
    }
    if (!Misc() || !LookingAtStartTag()) return std::nullopt;
    if (!Element(0)) return std::nullopt;
    if (!Misc() || pos_ != text_.size()) return std::nullopt;
    return layout_;
  }

 private:
  bool LookingAt(std::string_view what) const {
    return text_.size() - pos_ >= what.size() && text_.compare(pos_, what.size(), what) == 0;
  }
  bool LookingAtStartTag() const {
    return pos_ + 1 < text_.size() && text_[pos_] == '<' && IsNameStart(text_[pos_ + 1]);
  }
  bool Skip(std::string_view what) {
    if (!LookingAt(what)) return false;
    pos_ += what.size();
    return true;
  }
  // True when at least one space was skipped.
  bool SkipSpaces() {
    size_t start = pos_;
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    return pos_ != start;
  }
  uint8_t Byte() const { return static_cast<uint8_t>(text_[pos_]); }

  // Past the plain bytes from here: whole words while none of their bytes is special (the
  // given stops, which must include every markup byte of the context), then byte by byte.
  void SkipPlainBytes(char stop1, char stop2, char stop3) {
    const char* data = text_.data();
    const size_t size = text_.size();
    size_t pos = pos_;
    while (pos + 8 <= size) {
      uint64_t word;
      std::memcpy(&word, data + pos, sizeof word);
      if (SpecialBytes(word, stop1, stop2, stop3) != 0) break;
      pos += 8;
    }
    while (pos < size && kPlainBytes[static_cast<uint8_t>(data[pos])]) ++pos;
    pos_ = pos;
  }

  // One character that is not a plain byte: well-formed UTF-8 of a character XML allows.
  bool Character() {
    size_t length = AllowedSequenceLength(text_, pos_);
    pos_ += length;
    return length != 0;
  }

  bool Name(std::string_view& name) {
    size_t start = pos_;
    if (pos_ >= text_.size() || !IsNameStart(text_[pos_])) return false;
    while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
    name = text_.substr(start, pos_ - start);
    return name.size() <= kMaxNameLength && !IsReservedName(name);
  }

  bool Quoted(std::string_view& value) {
    if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) return false;
    size_t close = text_.find(text_[pos_], pos_ + 1);
    if (close == std::string_view::npos) return false;
    value = text_.substr(pos_ + 1, close - pos_ - 1);
    pos_ = close + 1;
    return true;
  }

  bool Equals() {
    SkipSpaces();
    if (!Skip("=")) return false;
    SkipSpaces();
    return true;
  }

  // <?xml version="1.0" encoding="UTF-8" standalone="yes"?>, the last two optional.
  bool Declaration() {
    std::string_view value;
    pos_ += 5;
    SkipSpaces();
    if (!Skip("version") || !Equals() || !Quoted(value) || value != "1.0") return false;
    bool spaced = SkipSpaces();
    if (LookingAt("encoding")) {
      if (!spaced || !Skip("encoding") || !Equals() || !Quoted(value)) return false;
      if (!EqualsIgnoringAsciiCase(value, "UTF-8")) return false;
      spaced = SkipSpaces();
    }
    if (LookingAt("standalone")) {
      if (!spaced || !Skip("standalone") || !Equals() || !Quoted(value)) return false;
      if (value != "yes" && value != "no") return false;
      SkipSpaces();
    }
    return Skip("?>");
  }

  // Whitespace and comments, up to the next other thing.
  bool Misc() {
    for (;;) {
      SkipSpaces();
      if (!LookingAt("<!--")) return true;
      if (!Comment()) return false;
    }
  }

  bool Comment() {
    pos_ += 4;
    size_t close = text_.find("--", pos_);
    if (close == std::string_view::npos || close - pos_ > kMaxRunLength) return false;
    while (pos_ < close) {
      if (Byte() < 0x80 && Byte() >= 0x20) {
        ++pos_;
      } else if (!Character()) {
        return false;
      }
    }
    return pos_ == close && Skip("-->");
  }

  // &lt; &gt; &amp; &apos; &quot; &#n; &#xh; for a character XML allows.
  bool Reference() {
    ++pos_;
    uint32_t code = 0;
    if (Skip("#x")) {
      if (!Digits(16, 6, code)) return false;
    } else if (Skip("#")) {
      if (!Digits(10, 7, code)) return false;
    } else {
      std::string_view name;
      size_t start = pos_;
      while (pos_ < text_.size() && IsNameChar(text_[pos_]) && pos_ - start < 5) ++pos_;
      name = text_.substr(start, pos_ - start);
      if (name != "lt" && name != "gt" && name != "amp" && name != "apos" && name != "quot") {
        return false;
      }
      code = 0x20;
    }
    return IsXmlChar(code) && Skip(";");
  }

  bool Digits(uint32_t base, size_t maxDigits, uint32_t& value) {
    size_t count = 0;
    value = 0;
    while (pos_ < text_.size() && count < maxDigits + 1) {
      char c = text_[pos_];
      uint32_t digit;
      if (c >= '0' && c <= '9') {
        digit = static_cast<uint32_t>(c - '0');
      } else if (base == 16 && c >= 'a' && c <= 'f') {
        digit = static_cast<uint32_t>(c - 'a' + 10);
      } else if (base == 16 && c >= 'A' && c <= 'F') {
        digit = static_cast<uint32_t>(c - 'A' + 10);
      } else {
        break;
      }
      value = value * base + digit;
      ++pos_;
      ++count;
    }
    return count >= 1 && count <= maxDigits;
  }

  bool AttributeValue() {
    if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) return false;
    const char quote = text_[pos_++];
    const size_t start = pos_;
    for (;;) {
      SkipPlainBytes(quote, '&', '<');
      if (pos_ >= text_.size()) return false;
      char c = text_[pos_];
      if (c == quote) break;
      if (c == '"' || c == '\'' || c == ']') {
        ++pos_;
      } else if (c == '&') {
        if (!Reference()) return false;
      } else if (c == '<' || !Character()) {
        return false;
      }
    }
    ++pos_;
    return pos_ - start <= kMaxRunLength;
  }

  // After the name of a start tag: the attributes, then ">" or "/>".
  bool StartTagRest(bool& emptyTag) {
    // Where each name starts and how long it is; left uninitialised, as this runs per tag.
    size_t seenAt[kMaxAttributes];
    size_t seenSize[kMaxAttributes];
    size_t count = 0;
    for (;;) {
      bool spaced = SkipSpaces();
      if (LookingAt("/>")) {
        emptyTag = true;
        pos_ += 2;
        return true;
      }
      if (Skip(">")) return true;
      std::string_view name;
      if (!spaced || count == kMaxAttributes || !Name(name)) return false;
      for (size_t i = 0; i < count; ++i) {
        if (text_.substr(seenAt[i], seenSize[i]) == name) return false;
      }
      seenAt[count] = static_cast<size_t>(name.data() - text_.data());
      seenSize[count++] = name.size();
      if (!Equals() || !AttributeValue()) return false;
    }
  }

  // Text, references, comments and child elements, up to the "</" of the end tag.
  bool Content(int depth) {
    size_t runStart = pos_;
    for (;;) {
      SkipPlainBytes('<', '&', ']');
      if (pos_ >= text_.size() || pos_ - runStart > kMaxRunLength) return false;
      char c = text_[pos_];
      if (c == '<') {
        if (LookingAt("</")) return true;
        if (LookingAt("<!--")) {
          if (!Comment()) return false;
        } else if (!LookingAtStartTag() || !Element(depth + 1)) {
          return false;
        }
        runStart = pos_;
      } else if (c == '&') {
        if (!Reference()) return false;
      } else if (c == ']') {
        if (LookingAt("]]>")) return false;
        ++pos_;
      } else if (c == '"' || c == '\'') {
        ++pos_;
      } else if (!Character()) {
        return false;
      }
    }
  }

  bool Element(int depth) {
    if (depth > kMaxDepth) return false;
    const bool isRoot = depth == 0;
    ++pos_;  // '<'
    std::string_view name;
    if (!Name(name) || (isRoot && name != rootName_)) return false;
    bool emptyTag = false;
    if (!StartTagRest(emptyTag)) return false;
    if (emptyTag) {
      if (isRoot) layout_ = {pos_ - 2, pos_, true, false};
      return true;
    }
    if (!Content(depth)) return false;
    if (isRoot) layout_ = {pos_, pos_, false, pos_ > 0 && text_[pos_ - 1] == '\n'};
    pos_ += 2;  // "</"
    std::string_view endName;
    if (!Name(endName) || endName != name) return false;
    SkipSpaces();
    return Skip(">");
  }

  std::string_view text_;
  std::string_view rootName_;
  size_t pos_ = 0;
  LogDocumentLayout layout_;
};

}  // namespace

std::optional<LogDocumentLayout> ScanLogDocument(std::string_view bytes,
                                                 std::string_view rootName) {
  return Scanner(bytes, rootName).Run();
}

}  // namespace orvex::xmldom
