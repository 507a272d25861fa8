#include "platform/data/postgres/postgres_sql.hpp"

#include <cctype>

#include "orvex/data.hpp"
#include "platform/data/postgres/postgres_errors.hpp"
#include "platform/data/sql_dialect.hpp"

namespace orvex::data::internal::postgres {

namespace {

bool IsIdentifierChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// Walks the text once, copying it with the markers rewritten. Each Copy member copies one
// construct whole and moves past it; one left open runs to the end of the text, and the server
// then reports it.
class Scanner {
 public:
  explicit Scanner(const std::string& text) : text_(text) {}

  TranslatedSql Translate() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == '\'') {
        CopyQuoted('\'', EscapesWithBackslash());
      } else if (c == '"') {
        CopyQuoted('"', false);
      } else if (text_.compare(pos_, 2, "--") == 0) {
        CopyLineComment();
      } else if (text_.compare(pos_, 2, "/*") == 0) {
        CopyBlockComment();
      } else if (c == '$' && CopyDollarQuoted()) {
        // copied
      } else if (c == '?') {
        result_.text += "$" + std::to_string(++result_.parameterCount);
        ++pos_;
      } else if (c == ';') {
        RefuseTextAfter(pos_ + 1);
        break;  // a trailing ";" and comments are left out
      } else {
        result_.text += c;
        ++pos_;
      }
    }
    return result_;
  }

 private:
  // E'...' strings take backslash escapes, so \' does not end them.
  bool EscapesWithBackslash() const {
    if (pos_ == 0 || (text_[pos_ - 1] != 'E' && text_[pos_ - 1] != 'e')) return false;
    return pos_ < 2 || !IsIdentifierChar(text_[pos_ - 2]);
  }

  void CopyQuoted(char quote, bool backslashEscapes) {
    size_t end = pos_ + 1;
    while (end < text_.size()) {
      if (backslashEscapes && text_[end] == '\\') {
        end += 2;
      } else if (text_[end] == quote) {
        if (end + 1 < text_.size() && text_[end + 1] == quote) {
          end += 2;
        } else {
          ++end;
          break;
        }
      } else {
        ++end;
      }
    }
    CopyTo(end);
  }

  void CopyLineComment() {
    size_t end = text_.find('\n', pos_);
    CopyTo(end == std::string::npos ? text_.size() : end);
  }

  void CopyBlockComment() {
    size_t end = pos_ + 2;
    int depth = 1;
    while (end < text_.size() && depth > 0) {
      if (text_.compare(end, 2, "/*") == 0) {
        ++depth;
        end += 2;
      } else if (text_.compare(end, 2, "*/") == 0) {
        --depth;
        end += 2;
      } else {
        ++end;
      }
    }
    CopyTo(end);
  }

  // $tag$ ... $tag$ (tag possibly empty); false when the "$" starts no dollar quote.
  bool CopyDollarQuoted() {
    if (pos_ > 0 && IsIdentifierChar(text_[pos_ - 1])) return false;
    size_t tagEnd = pos_ + 1;
    while (tagEnd < text_.size() && text_[tagEnd] != '$') {
      char c = text_[tagEnd];
      bool allowed = std::isalpha(static_cast<unsigned char>(c)) || c == '_' ||
                     (tagEnd > pos_ + 1 && std::isdigit(static_cast<unsigned char>(c)));
      if (!allowed) return false;
      ++tagEnd;
    }
    if (tagEnd >= text_.size()) return false;
    std::string tag = text_.substr(pos_, tagEnd - pos_ + 1);
    size_t close = text_.find(tag, tagEnd + 1);
    CopyTo(close == std::string::npos ? text_.size() : close + tag.size());
    return true;
  }

  void CopyTo(size_t end) {
    result_.text.append(text_, pos_, end - pos_);
    pos_ = end;
  }

  void RefuseTextAfter(size_t from) const {
    std::string rest = text_.substr(from);
    if (IsOnlyBlankOrComments(rest)) return;
    RaiseProviderError(DB_E_ERRORSINCOMMAND,
                       "The command text holds more than one statement; only one may be "
                       "executed at a time (text after the first: '" +
                           rest.substr(0, 60) + "')");
  }

  const std::string& text_;
  size_t pos_ = 0;
  TranslatedSql result_;
};

}  // namespace

TranslatedSql TranslateForPostgres(const std::string& sql) {
  if (IsOnlyBlankOrComments(sql))
    RaiseProviderError(DB_E_ERRORSINCOMMAND, "The command text holds no statement");
  return Scanner(TranslateTopToLimit(sql)).Translate();
}

}  // namespace orvex::data::internal::postgres
