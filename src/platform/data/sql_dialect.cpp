#include "platform/data/sql_dialect.hpp"

#include <cctype>
#include <string_view>

#include "platform/automation/ascii_case.hpp"

namespace orvex::data::internal {

namespace {

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Moves pos past the word (any case) when it stands there followed by a blank.
bool SkipWordAndBlanks(const std::string& text, size_t& pos, std::string_view word) {
  if (!ascii::StandsAt(text, pos, word)) return false;
  size_t at = pos + word.size();
  if (at >= text.size() || !IsBlank(text[at])) return false;
  while (at < text.size() && IsBlank(text[at])) ++at;
  pos = at;
  return true;
}

}  // namespace

// One pass over the text, with no backtracking and no recursion: its time and stack do not
// grow with the statement.
std::string TranslateTopToLimit(const std::string& sql) {
  size_t pos = 0;
  while (pos < sql.size() && IsBlank(sql[pos])) ++pos;
  if (!SkipWordAndBlanks(sql, pos, "SELECT") || !SkipWordAndBlanks(sql, pos, "TOP")) return sql;
  size_t digits = pos;
  while (pos < sql.size() && std::isdigit(static_cast<unsigned char>(sql[pos]))) ++pos;
  if (pos == digits || pos >= sql.size() || !IsBlank(sql[pos])) return sql;
  std::string count = sql.substr(digits, pos - digits);
  while (pos < sql.size() && IsBlank(sql[pos])) ++pos;
  size_t end = sql.size();
  while (end > pos && (IsBlank(sql[end - 1]) || sql[end - 1] == ';')) --end;
  std::string translated;
  translated.reserve(end - pos + count.size() + 16);
  translated.append("SELECT ").append(sql, pos, end - pos).append(" LIMIT ").append(count);
  return translated;
}

bool IsOnlyBlankOrComments(const std::string& text) {
  size_t pos = 0;
  while (pos < text.size()) {
    char c = text[pos];
    if (IsBlank(c) || c == ';') {
      ++pos;
    } else if (text.compare(pos, 2, "--") == 0) {
      pos = text.find('\n', pos);
      if (pos == std::string::npos) return true;
    } else if (text.compare(pos, 2, "/*") == 0) {
      pos = text.find("*/", pos + 2);
      if (pos == std::string::npos) return true;
      pos += 2;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace orvex::data::internal
