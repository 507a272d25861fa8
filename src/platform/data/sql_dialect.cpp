#include "platform/data/sql_dialect.hpp"

#include <cctype>
#include <regex>

namespace orvex::data::internal {

std::string TranslateTopToLimit(const std::string& sql) {
  static const std::regex kSelectTop(R"(^\s*SELECT\s+TOP\s+(\d+)\s+([\s\S]*)$)", std::regex::icase);
  std::smatch match;
  if (!std::regex_match(sql, match, kSelectTop)) return sql;
  std::string rest = match[2].str();
  while (!rest.empty() &&
         (std::isspace(static_cast<unsigned char>(rest.back())) || rest.back() == ';'))
    rest.pop_back();
  return "SELECT " + rest + " LIMIT " + match[1].str();
}

bool IsOnlyBlankOrComments(const std::string& text) {
  size_t pos = 0;
  while (pos < text.size()) {
    char c = text[pos];
    if (std::isspace(static_cast<unsigned char>(c)) || c == ';') {
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
