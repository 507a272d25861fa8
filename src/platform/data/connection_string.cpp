#include "platform/data/connection_string.hpp"

#include <algorithm>

#include "orvex/data.hpp"
#include "platform/automation/ascii_case.hpp"
#include "platform/data/errors.hpp"

namespace orvex::data::internal {

namespace {

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

[[noreturn]] void RaiseBadString(const std::string& why) {
  RaiseDataError(adErrInvalidArgument, "Connection", "Invalid connection string: " + why);
}

// Reads a quoted value starting at text[pos] (the quote); pos ends after the closing quote.
std::string ReadQuoted(const std::string& text, size_t& pos) {
  char quote = text[pos++];
  std::string value;
  while (pos < text.size()) {
    char c = text[pos++];
    if (c != quote) {
      value += c;
    } else if (pos < text.size() && text[pos] == quote) {
      value += quote;
      ++pos;
    } else {
      return value;
    }
  }
  RaiseBadString("unterminated quoted value");
}

}  // namespace

ConnectionString ConnectionString::Parse(const std::string& text) {
  ConnectionString result;
  // A postgresql:// URI is a whole connection string of its own.
  std::string start = ascii::Lower(text.substr(0, 13));
  if (start.rfind("postgresql://", 0) == 0 || start.rfind("postgres://", 0) == 0) {
    result.values_["provider"] = "PostgreSQL";
    result.values_["uri"] = text;
    return result;
  }
  size_t pos = 0;
  while (pos < text.size()) {
    size_t equals = text.find('=', pos);
    size_t semicolon = text.find(';', pos);
    if (equals == std::string::npos || (semicolon != std::string::npos && semicolon < equals)) {
      std::string rest = Trim(
          text.substr(pos, semicolon == std::string::npos ? std::string::npos : semicolon - pos));
      // Said by position, not quoted: the piece may be the end of a password holding ";".
      if (!rest.empty())
        RaiseBadString("the text at character " + std::to_string(pos + 1) + " has no '='");
      if (semicolon == std::string::npos) break;
      pos = semicolon + 1;
      continue;
    }
    std::string key = ascii::Lower(Trim(text.substr(pos, equals - pos)));
    if (key.empty()) RaiseBadString("empty key");
    pos = equals + 1;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    std::string value;
    if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'')) {
      value = ReadQuoted(text, pos);
      size_t next = text.find(';', pos);
      if (!Trim(text.substr(pos, next == std::string::npos ? std::string::npos : next - pos))
               .empty())
        RaiseBadString("text after the quoted value of '" + key + "'");
      pos = next == std::string::npos ? text.size() : next + 1;
    } else {
      size_t next = text.find(';', pos);
      value = Trim(text.substr(pos, next == std::string::npos ? std::string::npos : next - pos));
      pos = next == std::string::npos ? text.size() : next + 1;
    }
    result.values_[key] = value;
  }
  return result;
}

std::optional<std::string> ConnectionString::Get(const std::string& key) const {
  auto found = values_.find(ascii::Lower(key));
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

std::string ConnectionString::GetOr(const std::string& key, const std::string& fallback) const {
  return Get(key).value_or(fallback);
}

std::string ConnectionString::ProviderName() const {
  auto name = Get("provider");
  return name && !name->empty() ? *name : "SQLite";
}

std::string ConnectionString::Normalized() const {
  std::string text;
  for (const auto& [key, value] : values_) text += key + "=\"" + value + "\";";
  return text;
}

int32_t ConnectionString::LockTimeoutMilliseconds() const {
  constexpr int32_t kDefaultLockTimeout = 5000;
  auto text = Get("lock timeout");
  if (!text) return kDefaultLockTimeout;
  int64_t value = 0;
  bool valid = !text->empty() && text->size() <= 10;
  for (char c : *text) {
    if (c < '0' || c > '9') valid = false;
    value = value * 10 + (c - '0');
  }
  if (!valid || value > INT32_MAX)
    RaiseDataError(adErrInvalidArgument, "Connection",
                   "Lock Timeout must be a whole number of milliseconds, not '" + *text + "'");
  return static_cast<int32_t>(value);
}

void ConnectionString::Set(const std::string& key, const std::string& value) {
  values_[ascii::Lower(key)] = value;
}

}  // namespace orvex::data::internal
