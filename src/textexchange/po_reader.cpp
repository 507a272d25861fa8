#include <cctype>
#include <optional>

#include "platform/automation/ascii_case.hpp"
#include "textexchange/exchange_errors.hpp"
#include "textexchange/po_format.hpp"
#include "textexchange/utf8_text.hpp"

namespace orvex::textexchange {

namespace {

constexpr const char* kFormat = "PO";

// An entry as the lines give it, before it is known to be the header or a text.
struct PoEntry {
  int32_t line = 0;
  bool fuzzy = false;
  std::optional<std::string> context, id, text;
  // The string that continuation lines extend.
  std::string* open = nullptr;
};

class PoReader {
 public:
  explicit PoReader(const std::string& text) : text_(text) {}

  ExchangeDocument Read() {
    if (!IsUtf8(text_)) RaiseInvalidFile(kFormat, 0, "the file is not UTF-8");
    size_t pos = text_.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (pos <= text_.size()) {
      size_t end = text_.find('\n', pos);
      if (end == std::string::npos) end = text_.size();
      ++line_;
      std::string_view line(text_.data() + pos, end - pos);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      Take(line);
      pos = end + 1;
    }
    Finish();
    return std::move(document_);
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const { RaiseInvalidFile(kFormat, line_, what); }

  static std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
  }

  void Take(std::string_view line) {
    line = Trimmed(line);
    if (line.empty()) return;
    if (line[0] == '#') {
      // "#~" obsolete and "#|" previous entries are history, not texts to import.
      if (line.size() > 1 && line[1] == ',') Flags(line.substr(2));
      return;
    }
    if (line[0] == '"') {
      if (entry_.open == nullptr) Fail("a string outside an entry");
      *entry_.open += Unquoted(line);
      return;
    }
    const size_t space = line.find_first_of(" \t\"");
    const std::string_view keyword = line.substr(0, space);
    const std::string_view rest = space == std::string::npos ? "" : Trimmed(line.substr(space));
    if (keyword == "msgctxt") {
      Begin();
      if (entry_.context || entry_.id) Fail("msgctxt after msgid");
      Assign(entry_.context, rest);
    } else if (keyword == "msgid") {
      Begin();
      if (entry_.id) Fail("a second msgid in one entry");
      Assign(entry_.id, rest);
    } else if (keyword == "msgstr") {
      if (!entry_.id || entry_.text) Fail("msgstr without msgid");
      Assign(entry_.text, rest);
    } else if (keyword == "msgid_plural" || keyword.substr(0, 7) == "msgstr[") {
      Fail("plural forms, which a text table does not have");
    } else {
      Fail("unknown keyword '" + std::string(keyword) + "'");
    }
  }

  void Flags(std::string_view flags) {
    pendingFuzzy_ = pendingFuzzy_ || flags.find("fuzzy") != std::string_view::npos;
  }

  // A msgctxt or msgid after a complete entry starts the next one.
  void Begin() {
    if (entry_.text) Finish();
    if (entry_.line == 0) {
      entry_.line = line_;
      entry_.fuzzy = pendingFuzzy_;
      pendingFuzzy_ = false;
    }
  }

  void Assign(std::optional<std::string>& field, std::string_view rest) {
    if (rest.empty() || rest[0] != '"') Fail("a keyword without its string");
    field = Unquoted(rest);
    entry_.open = &*field;
  }

  void Finish() {
    PoEntry entry = std::move(entry_);
    entry_ = PoEntry{};
    if (entry.line == 0) return;
    if (!entry.id || !entry.text) {
      line_ = entry.line;
      Fail("an entry without msgid and msgstr");
    }
    if (!entry.context && entry.id->empty()) {
      ReadHeader(*entry.text, entry.line);
      return;
    }
    ExchangeUnit unit;
    unit.id = entry.context.value_or("");
    unit.source = std::move(*entry.id);
    unit.target = std::move(*entry.text);
    unit.translated = !unit.target.empty() && !entry.fuzzy;
    unit.line = entry.line;
    document_.units.push_back(std::move(unit));
  }

  void ReadHeader(const std::string& header, int32_t line) {
    if (seenHeader_) {
      line_ = line;
      Fail("a second header entry");
    }
    seenHeader_ = true;
    size_t pos = 0;
    while (pos < header.size()) {
      size_t end = header.find('\n', pos);
      if (end == std::string::npos) end = header.size();
      const std::string_view field(header.data() + pos, end - pos);
      const size_t colon = field.find(':');
      if (colon != std::string_view::npos)
        HeaderField(field.substr(0, colon), Trimmed(field.substr(colon + 1)), line);
      pos = end + 1;
    }
  }

  void HeaderField(std::string_view name, std::string_view value, int32_t line) {
    if (name == "X-ORVEX-Source-Language") document_.sourceLanguage = value;
    if (name == "X-ORVEX-Language") document_.language = value;
    if (name == "Project-Id-Version") document_.origin = value;
    if (name == "Content-Type") {
      const size_t charset = value.find("charset=");
      const std::string_view charsetName = charset == std::string_view::npos
                                               ? std::string_view("UTF-8")
                                               : Trimmed(value.substr(charset + 8));
      auto named = [&](std::string_view name) {
        return ascii::EqualsIgnoringCase(charsetName, name);
      };
      if (!named("UTF-8") && !named("UTF8") && !named("CHARSET") && !named("ASCII")) {
        line_ = line;
        Fail("the charset " + std::string(charsetName) + " (only UTF-8 is read)");
      }
    }
  }

  // The text of a quoted string with its escapes read; nothing but blanks may follow it.
  std::string Unquoted(std::string_view quoted) const {
    std::string out;
    size_t i = 1;
    for (;; ++i) {
      if (i >= quoted.size()) Fail("a string without its closing quote");
      const char c = quoted[i];
      if (c == '"') break;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (++i >= quoted.size()) Fail("a string without its closing quote");
      i = Escape(quoted, i, out);
    }
    if (!Trimmed(quoted.substr(i + 1)).empty()) Fail("text after a closing quote");
    return out;
  }

  // Reads the escape whose letter is at i; returns the position of its last character.
  size_t Escape(std::string_view quoted, size_t i, std::string& out) const {
    switch (quoted[i]) {
      case 'n':
        out += '\n';
        return i;
      case 't':
        out += '\t';
        return i;
      case 'r':
        out += '\r';
        return i;
      case 'a':
        out += '\a';
        return i;
      case 'b':
        out += '\b';
        return i;
      case 'f':
        out += '\f';
        return i;
      case 'v':
        out += '\v';
        return i;
      case '\\':
      case '"':
      case '\'':
      case '?':
        out += quoted[i];
        return i;
      default:
        break;
    }
    unsigned value = 0;
    size_t digits = 0;
    if (quoted[i] >= '0' && quoted[i] <= '7') {
      while (digits < 3 && i + digits < quoted.size() && quoted[i + digits] >= '0' &&
             quoted[i + digits] <= '7')
        value = value * 8 + static_cast<unsigned>(quoted[i + digits++] - '0');
    } else if (quoted[i] == 'x') {
      while (i + 1 + digits < quoted.size() &&
             std::isxdigit(static_cast<unsigned char>(quoted[i + 1 + digits]))) {
        const char h =
            static_cast<char>(std::tolower(static_cast<unsigned char>(quoted[i + 1 + digits++])));
        value = value * 16 + static_cast<unsigned>(h <= '9' ? h - '0' : h - 'a' + 10);
        if (value > 0xFF) Fail("a hexadecimal escape past one byte");
      }
      if (digits == 0) Fail("\\x without hexadecimal digits");
      ++digits;
    } else {
      Fail(std::string("an unknown escape \\") + quoted[i]);
    }
    if (value > 0xFF) Fail("an octal escape past one byte");
    out += static_cast<char>(value);
    return i + digits - 1;
  }

  const std::string& text_;
  ExchangeDocument document_;
  PoEntry entry_;
  bool pendingFuzzy_ = false;
  bool seenHeader_ = false;
  int32_t line_ = 0;
};

}  // namespace

ExchangeDocument ReadPo(const std::string& text) {
  ExchangeDocument document = PoReader(text).Read();
  for (const ExchangeUnit& unit : document.units)
    if (!IsUtf8(unit.source) || !IsUtf8(unit.target))
      RaiseInvalidFile(kFormat, unit.line, "an escape that makes the text not UTF-8");
  return document;
}

}  // namespace orvex::textexchange
