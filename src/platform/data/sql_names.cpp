#include "platform/data/sql_names.hpp"

#include "orvex/data.hpp"
#include "platform/data/errors.hpp"
#include "platform/data/provider.hpp"

namespace orvex::data::internal {

namespace {

constexpr size_t kShownLength = 60;

bool IsLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Moves pos past one identifier, plain or quoted; false when none starts there.
bool SkipIdentifier(const std::string& text, size_t& pos) {
  if (pos >= text.size()) return false;
  if (text[pos] == '"') {
    size_t close = pos + 1;
    while (close < text.size() && text[close] != '"') {
      if (static_cast<unsigned char>(text[close]) < 0x20 || text[close] == 0x7f) return false;
      ++close;
    }
    if (close >= text.size() || close == pos + 1) return false;
    pos = close + 1;
    return true;
  }
  if (!IsLetter(static_cast<unsigned char>(text[pos]))) return false;
  while (pos < text.size() && (IsLetter(static_cast<unsigned char>(text[pos])) ||
                               IsDigit(static_cast<unsigned char>(text[pos]))))
    ++pos;
  return true;
}

// The name as a description shows it: cut short, with control characters as "?".
std::string Shown(const std::string& text) {
  std::string shown = text.substr(0, kShownLength);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  return text.size() > kShownLength ? shown + "..." : shown;
}

}  // namespace

bool IsSqlName(const std::string& text) {
  size_t pos = 0;
  if (!SkipIdentifier(text, pos)) return false;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    if (!SkipIdentifier(text, pos)) return false;
  }
  return pos == text.size();
}

void RequireSqlName(const std::string& text, const std::string& argument) {
  if (IsSqlName(text)) return;
  RaiseDataError(adErrInvalidArgument, "Name",
                 argument + " '" + Shown(text) +
                     "' is not a name: a name holds letters, digits and '_' and does not start "
                     "with a digit, or is enclosed in double quotes with no double quote inside; "
                     "it may be preceded by a schema name and '.'");
}

std::string QuoteIdentifier(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

}  // namespace orvex::data::internal
