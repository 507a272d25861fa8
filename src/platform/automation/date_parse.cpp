#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "calendar.hpp"
#include "orvex/variant.hpp"
#include "platform/automation/ascii_case.hpp"
#include "platform/automation/surroundings.hpp"

namespace orvex {

namespace {

struct Token {
  enum Kind { Number, Word, Separator, Blank } kind = Blank;
  std::string text;
  int value = 0;
};

bool IsWordByte(unsigned char c) { return std::isalpha(c) || c >= 0x80; }

std::optional<std::vector<Token>> Tokenise(std::string_view text) {
  std::vector<Token> tokens;
  for (size_t at = 0; at < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    Token token;
    size_t end = at + 1;
    if (std::isdigit(c)) {
      while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
      if (end - at > 9) return std::nullopt;
      token.kind = Token::Number;
      token.value = std::stoi(std::string(text.substr(at, end - at)));
    } else if (IsWordByte(c)) {
      while (end < text.size() && IsWordByte(static_cast<unsigned char>(text[end]))) ++end;
      token.kind = Token::Word;
    } else if (c == ' ' || c == '\t') {
      token.kind = Token::Blank;
    } else {
      token.kind = Token::Separator;
    }
    token.text = std::string(text.substr(at, end - at));
    tokens.push_back(token);
    at = end;
  }
  return tokens;
}

// 1 for a morning designator, 2 for an afternoon one, 0 for any other word.
int DesignatorOf(const std::string& word, const Locale& locale) {
  if (ascii::EqualsIgnoringCase(word, locale.amDesignator) ||
      ascii::EqualsIgnoringCase(word, "AM") || ascii::EqualsIgnoringCase(word, "A")) {
    return 1;
  }
  if (ascii::EqualsIgnoringCase(word, locale.pmDesignator) ||
      ascii::EqualsIgnoringCase(word, "PM") || ascii::EqualsIgnoringCase(word, "P")) {
    return 2;
  }
  return 0;
}

// 1..12 for an English month name or its first three letters, else 0.
int MonthOf(const std::string& word) {
  static constexpr const char* kNames[] = {"january",   "february", "march",    "april",
                                           "may",       "june",     "july",     "august",
                                           "september", "october",  "november", "december"};
  if (word.size() < 3) return 0;
  for (int month = 0; month < 12; ++month) {
    const std::string name = kNames[month];
    if (word.size() <= name.size() &&
        ascii::EqualsIgnoringCase(word, name.substr(0, word.size()))) {
      return month + 1;
    }
  }
  return 0;
}

// A locale whose time separator is also a date separator ("." in Finnish) reads it as a time
// separator only once the date is complete, or inside a time already begun.
bool IsTimeSeparator(const std::string& text, const Locale& locale, bool dateComplete) {
  if (text == ":") return true;
  if (text != locale.timeSeparator) return false;
  return dateComplete || (text != "." && text != "/" && text != "-");
}

bool IsDateSeparator(const std::string& text, const Locale& locale) {
  return text == "/" || text == "-" || text == "." || text == "," || text == locale.dateSeparator;
}

// What the tokens say, before the fields are checked.
struct Reading {
  std::vector<Token> dateNumbers;
  int monthName = 0;
  bool hasTime = false;
  int hour = 0, minute = 0, second = 0;
  int designator = 0;
};

size_t SkipBlanks(const std::vector<Token>& tokens, size_t at) {
  while (at < tokens.size() && tokens[at].kind == Token::Blank) ++at;
  return at;
}

// Reads h[:mm[:ss]] from tokens[at]; returns the position after it, or npos.
size_t ReadTime(const std::vector<Token>& tokens, size_t at, const Locale& locale, Reading& r) {
  int* fields[] = {&r.hour, &r.minute, &r.second};
  size_t count = 0;
  while (count < 3 && at < tokens.size() && tokens[at].kind == Token::Number) {
    *fields[count++] = tokens[at].value;
    ++at;
    if (count < 3 && at + 1 < tokens.size() && tokens[at].kind == Token::Separator &&
        IsTimeSeparator(tokens[at].text, locale, true) && tokens[at + 1].kind == Token::Number) {
      ++at;
    } else {
      break;
    }
  }
  r.hasTime = true;
  return at;
}

// True when the number at tokens[at] is an hour: a time separator follows it, or a designator
// that does not itself lead a further number ("5 PM", but not "5 PM 7:29").
bool StartsTime(const std::vector<Token>& tokens, size_t at, const Locale& locale,
                bool dateComplete) {
  const size_t next = SkipBlanks(tokens, at + 1);
  if (next >= tokens.size()) return false;
  const Token& following = tokens[next];
  if (following.kind == Token::Separator) {
    return IsTimeSeparator(following.text, locale, dateComplete);
  }
  if (following.kind != Token::Word || DesignatorOf(following.text, locale) == 0) return false;
  const size_t afterDesignator = SkipBlanks(tokens, next + 1);
  return afterDesignator >= tokens.size() || tokens[afterDesignator].kind != Token::Number;
}

// With timeFirst, the locale's time separator starts a time even before a complete date.
bool ReadTokens(const std::vector<Token>& tokens, const Locale& locale, bool timeFirst,
                Reading& r) {
  for (size_t at = 0; at < tokens.size();) {
    const Token& token = tokens[at];
    if (token.kind == Token::Blank ||
        (token.kind == Token::Separator && IsDateSeparator(token.text, locale))) {
      ++at;
    } else if (token.kind == Token::Number) {
      if (StartsTime(tokens, at, locale, timeFirst || r.dateNumbers.size() == 3)) {
        if (r.hasTime) return false;
        at = ReadTime(tokens, at, locale, r);
      } else {
        if (r.dateNumbers.size() == 3) return false;
        r.dateNumbers.push_back(token);
        ++at;
      }
    } else if (token.kind == Token::Word) {
      // The designator follows the time, or leads it in locales such as Korean.
      const size_t next = SkipBlanks(tokens, at + 1);
      const bool numberFollows = next < tokens.size() && tokens[next].kind == Token::Number;
      if (const int designator = DesignatorOf(token.text, locale);
          designator != 0 && (r.hasTime || numberFollows)) {
        if (r.designator != 0) return false;
        r.designator = designator;
      } else if (ascii::EqualsIgnoringCase(token.text, "T") && !r.dateNumbers.empty()) {
        // ISO 8601 puts a T between the date and the time.
      } else if (const int month = MonthOf(token.text); month != 0 && r.monthName == 0) {
        r.monthName = month;
      } else {
        return false;
      }
      ++at;
    } else {
      return false;
    }
  }
  return true;
}

int FullYear(const Token& year) {
  if (year.text.size() > 2) return year.value;
  return year.value < 30 ? 2000 + year.value : 1900 + year.value;
}

bool LooksLikeYear(const Token& token) { return token.text.size() > 2 || token.value > 31; }

struct Ymd {
  int year = 0, month = 0, day = 0;
};

// Places the numbers (and a month name) into year, month and day.
std::optional<Ymd> ResolveDate(const Reading& r, const Locale& locale) {
  const std::vector<Token>& n = r.dateNumbers;
  Ymd ymd;
  const int currentYear = surroundings::Now().Parts().year;
  if (r.monthName != 0) {
    ymd.month = r.monthName;
    if (n.size() == 1) {
      if (LooksLikeYear(n[0])) {
        ymd.year = FullYear(n[0]);
        ymd.day = 1;
      } else {
        ymd.year = currentYear;
        ymd.day = n[0].value;
      }
    } else if (n.size() == 2) {
      const bool firstIsYear = LooksLikeYear(n[0]) && !LooksLikeYear(n[1]);
      ymd.year = FullYear(firstIsYear ? n[0] : n[1]);
      ymd.day = (firstIsYear ? n[1] : n[0]).value;
    } else {
      return std::nullopt;
    }
    return ymd;
  }
  if (n.size() == 3) {
    if (n[0].text.size() > 2 || locale.dateOrder == Locale::DateOrder::YMD) {
      return Ymd{FullYear(n[0]), n[1].value, n[2].value};
    }
    if (locale.dateOrder == Locale::DateOrder::DMY) {
      return Ymd{FullYear(n[2]), n[1].value, n[0].value};
    }
    return Ymd{FullYear(n[2]), n[0].value, n[1].value};
  }
  if (n.size() == 2) {
    if (n[0].text.size() > 2) return Ymd{FullYear(n[0]), n[1].value, 1};
    if (LooksLikeYear(n[1])) return Ymd{FullYear(n[1]), n[0].value, 1};
    if (locale.dateOrder == Locale::DateOrder::DMY) {
      return Ymd{currentYear, n[1].value, n[0].value};
    }
    return Ymd{currentYear, n[0].value, n[1].value};
  }
  return std::nullopt;
}

// The time of day as a fraction of a day; nullopt for fields out of range.
std::optional<double> ResolveTime(const Reading& r) {
  int hour = r.hour;
  if (r.designator != 0) {
    if (hour < 0 || hour > 12) return std::nullopt;
    if (r.designator == 1 && hour == 12) hour = 0;
    if (r.designator == 2 && hour < 12) hour += 12;
  }
  if (hour > 23 || r.minute > 59 || r.second > 59) return std::nullopt;
  return static_cast<double>(hour * 3600 + r.minute * 60 + r.second) / 86400.0;
}

bool ValidDate(const Ymd& ymd) {
  return ymd.year >= 100 && ymd.year <= 9999 && ymd.month >= 1 && ymd.month <= 12 && ymd.day >= 1 &&
         ymd.day <= calendar::DaysInMonth(ymd.year, ymd.month);
}

std::optional<Date> DateOfTokens(const std::vector<Token>& tokens, const Locale& locale,
                                 bool timeFirst) {
  Reading reading;
  if (!ReadTokens(tokens, locale, timeFirst, reading)) return std::nullopt;
  if (reading.designator != 0 && !reading.hasTime) return std::nullopt;
  const std::optional<double> time = ResolveTime(reading);
  if (!time) return std::nullopt;
  if (reading.dateNumbers.empty() && reading.monthName == 0) {
    if (!reading.hasTime) return std::nullopt;
    return Date(*time);
  }
  const std::optional<Ymd> ymd = ResolveDate(reading, locale);
  if (!ymd || !ValidDate(*ymd)) return std::nullopt;
  return Date(calendar::Combine(calendar::SerialFromCivil(ymd->year, ymd->month, ymd->day), *time));
}

}  // namespace

std::optional<Date> ParseDate(std::string_view text, const Locale& locale) {
  const std::optional<std::vector<Token>> tokens = Tokenise(text);
  if (!tokens) return std::nullopt;
  if (std::optional<Date> date = DateOfTokens(*tokens, locale, false)) return date;
  // Where dates and times share a separator, text that is no date may still be a time.
  return DateOfTokens(*tokens, locale, true);
}

}  // namespace orvex
