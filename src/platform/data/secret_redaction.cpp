#include "platform/data/secret_redaction.hpp"

#include "platform/automation/ascii_case.hpp"
#include "platform/data/connection_string.hpp"

namespace orvex::data::internal {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A found secret: text[begin, end) is written as ***.
struct Span {
  size_t begin = 0;
  size_t end = 0;
};

// A "password=" / "pwd=" piece (any case) at pos: the span of its value. The word is also found
// at the end of a longer key ("db_password="), which is hidden as well.
bool KeyValueSecret(std::string_view text, size_t pos, Span& span) {
  size_t at = pos;
  if (ascii::StandsAt(text, pos, "password"))
    at += 8;
  else if (ascii::StandsAt(text, pos, "pwd"))
    at += 3;
  else
    return false;
  while (at < text.size() && IsBlank(text[at])) ++at;
  if (at >= text.size() || text[at] != '=') return false;
  ++at;
  while (at < text.size() && IsBlank(text[at])) ++at;
  if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
    // A quoted value runs to its closing quote; a doubled quote stands for one.
    const char quote = text[at];
    size_t end = at + 1;
    while (end < text.size()) {
      if (text[end] != quote) {
        ++end;
      } else if (end + 1 < text.size() && text[end + 1] == quote) {
        end += 2;
      } else {
        break;
      }
    }
    span = {at + 1, end};
    return true;
  }
  size_t end = at;
  while (end < text.size() && text[end] != ';' && text[end] != '\n' && text[end] != '\r') ++end;
  span = {at, end};
  return true;
}

// "://user:password@" at pos: the span of the password. The user-info ends at the last "@"
// before a blank, a quote or the end, so that a password holding "@" is hidden whole. `scanned`
// is where the look stopped: on a failure no other "://" before it can succeed either.
bool UriSecret(std::string_view text, size_t pos, Span& span, size_t& scanned) {
  if (text.compare(pos, 3, "://") != 0) return false;
  const size_t start = pos + 3;
  size_t end = start;
  size_t at = std::string_view::npos;
  size_t colon = std::string_view::npos;
  while (end < text.size() && !IsBlank(text[end]) && text[end] != '"' && text[end] != '\'' &&
         text[end] != '\n' && text[end] != '\r') {
    if (text[end] == '@') at = end;
    if (text[end] == ':' && colon == std::string_view::npos) colon = end;
    ++end;
  }
  scanned = end;
  if (at == std::string_view::npos || colon == std::string_view::npos || colon >= at) return false;
  span = {colon + 1, at};
  return true;
}

// Finds the secrets of a text in one pass.
class SecretScanner {
 public:
  explicit SecretScanner(std::string_view text) : text_(text) {}

  // The next secret at or after pos_; false when there is none.
  bool Next(Span& span) {
    for (; pos_ < text_.size(); ++pos_) {
      const char c = text_[pos_];
      bool found = false;
      if (c == 'p' || c == 'P') {
        found = KeyValueSecret(text_, pos_, span);
      } else if (c == ':' && pos_ >= uriClearUntil_) {
        size_t scanned = pos_;
        found = UriSecret(text_, pos_, span, scanned);
        if (!found) uriClearUntil_ = scanned;
      }
      if (found) {
        pos_ = span.end > pos_ ? span.end : pos_ + 1;
        return true;
      }
    }
    return false;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  size_t uriClearUntil_ = 0;
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = ascii::Lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string PercentDecoded(const std::string& text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    int high = -1, low = -1;
    if (text[i] == '%' && i + 2 < text.size() && (high = HexDigit(text[i + 1])) >= 0 &&
        (low = HexDigit(text[i + 2])) >= 0) {
      decoded += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

}  // namespace

bool HoldsSecrets(std::string_view text) {
  Span span;
  return SecretScanner(text).Next(span);
}

std::string RedactSecrets(std::string_view text) {
  std::string redacted;
  size_t copied = 0;
  Span span;
  SecretScanner scanner(text);
  while (scanner.Next(span)) {
    redacted.append(text, copied, span.begin - copied).append(kRedacted);
    copied = span.end;
  }
  redacted.append(text, copied);
  return redacted;
}

std::vector<std::string> SecretsOf(const ConnectionString& settings) {
  std::vector<std::string> secrets;
  for (const char* key : {"password", "pwd"})
    if (auto value = settings.Get(key); value && !value->empty()) secrets.push_back(*value);
  if (auto uri = settings.Get("uri")) {
    Span span;
    size_t scheme = uri->find("://");
    size_t scanned = 0;
    if (scheme != std::string::npos && UriSecret(*uri, scheme, span, scanned) &&
        span.end > span.begin) {
      std::string password = uri->substr(span.begin, span.end - span.begin);
      secrets.push_back(password);
      std::string decoded = PercentDecoded(password);
      if (decoded != password) secrets.push_back(decoded);
    }
  }
  return secrets;
}

std::string RedactSecrets(std::string_view text, const std::vector<std::string>& secrets) {
  std::string redacted(text);
  for (const std::string& secret : secrets) {
    if (secret.empty()) continue;
    for (size_t at = redacted.find(secret); at != std::string::npos;
         at = redacted.find(secret, at + 3))
      redacted.replace(at, secret.size(), kRedacted);
  }
  return RedactSecrets(redacted);
}

}  // namespace orvex::data::internal
