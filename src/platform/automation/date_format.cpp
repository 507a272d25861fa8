#include <algorithm>
#include <string>
#include <vector>

#include "calendar.hpp"
#include "orvex/automation_error.hpp"
#include "orvex/variant.hpp"
#include "platform/automation/ascii_case.hpp"
#include "platform/automation/surroundings.hpp"

namespace orvex {

namespace {

constexpr const char* kMonthNames[] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};
constexpr const char* kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};

// The calendar and clock fields of a date, as the formatters read them.
struct Fields {
  DateParts parts;
  int weekday = 0;  // 0 = Sunday
  int dayOfYear = 1;
};

Fields FieldsOf(Date value) {
  if (!calendar::InDateRange(value.Value())) Raise(errOverflow);
  Fields fields;
  fields.parts = value.Parts();
  const int64_t serial =
      calendar::SerialFromCivil(fields.parts.year, fields.parts.month, fields.parts.day);
  // 1899-12-30 was a Saturday.
  fields.weekday = static_cast<int>(((serial + 6) % 7 + 7) % 7);
  fields.dayOfYear =
      static_cast<int>(serial - calendar::SerialFromCivil(fields.parts.year, 1, 1) + 1);
  return fields;
}

std::string Padded(int value, size_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

int TwelveHour(int hour) { return hour % 12 == 0 ? 12 : hour % 12; }

size_t RunLength(std::string_view pattern, size_t at, bool caseless) {
  size_t width = 1;
  auto same = [&](char a, char b) {
    return caseless ? ascii::Lower(a) == ascii::Lower(b) : a == b;
  };
  while (at + width < pattern.size() && same(pattern[at + width], pattern[at])) ++width;
  return width;
}

// Copies a quoted literal ('x' in locale patterns, "x" in user patterns); returns its length.
size_t CopyQuoted(std::string_view pattern, size_t at, std::string& out) {
  const size_t close = pattern.find(pattern[at], at + 1);
  const size_t end = close == std::string_view::npos ? pattern.size() : close;
  out.append(pattern.substr(at + 1, end - at - 1));
  return end - at + 1;
}

// One field of a locale pattern (case-sensitive desktop tokens: d M y h H m s t).
bool AppendLocaleField(char letter, size_t width, const Fields& f, const Locale& locale,
                       std::string& out) {
  const DateParts& p = f.parts;
  switch (letter) {
    case 'd':
      out += width >= 4   ? kDayNames[f.weekday]
             : width == 3 ? std::string(kDayNames[f.weekday]).substr(0, 3)
                          : Padded(p.day, width);
      return true;
    case 'M':
      out += width >= 4   ? kMonthNames[p.month - 1]
             : width == 3 ? std::string(kMonthNames[p.month - 1]).substr(0, 3)
                          : Padded(p.month, width);
      return true;
    case 'y':
      out += width <= 2 ? Padded(p.year % 100, width) : Padded(p.year, width);
      return true;
    case 'h':
      out += Padded(TwelveHour(p.hour), width);
      return true;
    case 'H':
      out += Padded(p.hour, width);
      return true;
    case 'm':
      out += Padded(p.minute, width);
      return true;
    case 's':
      out += Padded(p.second, width);
      return true;
    case 't': {
      const std::string& designator = p.hour < 12 ? locale.amDesignator : locale.pmDesignator;
      out += width == 1 ? designator.substr(0, 1) : designator;
      return true;
    }
    default:
      return false;
  }
}

std::string FormatLocalePattern(const Fields& fields, std::string_view pattern,
                                const Locale& locale) {
  std::string out;
  for (size_t at = 0; at < pattern.size();) {
    if (pattern[at] == '\'') {
      at += CopyQuoted(pattern, at, out);
      continue;
    }
    const size_t width = RunLength(pattern, at, false);
    if (AppendLocaleField(pattern[at], width, fields, locale, out)) {
      at += width;
    } else {
      out += pattern[at++];
    }
  }
  return out;
}

// ---- user patterns (case-insensitive, "m" is the month unless it stands by an hour or second)

struct UserToken {
  char letter = 0;  // y m d h n s, 'A' for AM/PM, 0 for literal text
  size_t width = 0;
  std::string text;  // literal text, or the AM/PM spelling
};

std::vector<UserToken> TokeniseUserPattern(std::string_view pattern, const Locale& locale) {
  std::vector<UserToken> tokens;
  for (size_t at = 0; at < pattern.size();) {
    const char lower = ascii::Lower(pattern[at]);
    if (ascii::StandsAt(pattern, at, "am/pm") || ascii::StandsAt(pattern, at, "a/p")) {
      const size_t width = ascii::StandsAt(pattern, at, "am/pm") ? 5 : 3;
      tokens.push_back({'A', width, std::string(pattern.substr(at, width))});
      at += width;
    } else if (std::string_view("ymdhns").find(lower) != std::string_view::npos) {
      const size_t width = RunLength(pattern, at, true);
      tokens.push_back({lower, width, {}});
      at += width;
    } else if (pattern[at] == '"' || pattern[at] == '\'') {
      UserToken literal;
      at += CopyQuoted(pattern, at, literal.text);
      tokens.push_back(literal);
    } else if (pattern[at] == '\\' && at + 1 < pattern.size()) {
      tokens.push_back({0, 0, std::string(1, pattern[at + 1])});
      at += 2;
    } else if (pattern[at] == '/' || pattern[at] == ':') {
      tokens.push_back({0, 0, pattern[at] == '/' ? locale.dateSeparator : locale.timeSeparator});
      ++at;
    } else {
      tokens.push_back({0, 0, std::string(1, pattern[at])});
      ++at;
    }
  }
  return tokens;
}

// "m" or "mm" right after an hour or right before a second is the minute.
void MarkMinutes(std::vector<UserToken>& tokens) {
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].letter != 'm' || tokens[i].width > 2) continue;
    char before = 0;
    for (size_t j = i; j-- > 0;) {
      if (tokens[j].letter != 0) {
        before = tokens[j].letter;
        break;
      }
    }
    char after = 0;
    for (size_t j = i + 1; j < tokens.size(); ++j) {
      if (tokens[j].letter != 0) {
        after = tokens[j].letter;
        break;
      }
    }
    if (before == 'h' || after == 's') tokens[i].letter = 'n';
  }
}

void AppendUserToken(const UserToken& token, const Fields& f, bool twelveHour, std::string& out) {
  const DateParts& p = f.parts;
  switch (token.letter) {
    case 'y':
      out += token.width >= 3   ? Padded(p.year, 4)
             : token.width == 2 ? Padded(p.year % 100, 2)
                                : std::to_string(f.dayOfYear);
      break;
    case 'm':
      out += token.width >= 4   ? kMonthNames[p.month - 1]
             : token.width == 3 ? std::string(kMonthNames[p.month - 1]).substr(0, 3)
                                : Padded(p.month, token.width);
      break;
    case 'd':
      out += token.width >= 4   ? kDayNames[f.weekday]
             : token.width == 3 ? std::string(kDayNames[f.weekday]).substr(0, 3)
                                : Padded(p.day, token.width);
      break;
    case 'h':
      out += Padded(twelveHour ? TwelveHour(p.hour) : p.hour, token.width);
      break;
    case 'n':
      out += Padded(p.minute, std::min<size_t>(token.width, 2));
      break;
    case 's':
      out += Padded(p.second, std::min<size_t>(token.width, 2));
      break;
    case 'A': {
      // The pattern's own spelling chooses the case: AM/PM, am/pm, A/P, a/p.
      const size_t slash = token.text.find('/');
      out += p.hour < 12 ? token.text.substr(0, slash) : token.text.substr(slash + 1);
      break;
    }
    default:
      out += token.text;
  }
}

}  // namespace

std::string FormatDate(Date value, std::string_view pattern, const Locale& locale) {
  std::vector<UserToken> tokens = TokeniseUserPattern(pattern, locale);
  MarkMinutes(tokens);
  bool twelveHour = false;
  for (const UserToken& token : tokens) twelveHour = twelveHour || token.letter == 'A';
  const Fields fields = FieldsOf(value);
  std::string out;
  for (const UserToken& token : tokens) AppendUserToken(token, fields, twelveHour, out);
  return out;
}

std::string FormatGeneralDate(Date value, const Locale& locale) {
  const Fields fields = FieldsOf(value);
  const calendar::DayAndSeconds split = calendar::Split(value.Value());
  // Day 0 is a pure time, even at midnight, as the runtime prints it.
  if (split.day == 0) return FormatLocalePattern(fields, locale.longTimePattern, locale);
  const std::string date = FormatLocalePattern(fields, locale.shortDatePattern, locale);
  if (split.seconds == 0) return date;
  return date + " " + FormatLocalePattern(fields, locale.longTimePattern, locale);
}

std::string FormatGeneralDate(Date value) {
  return FormatGeneralDate(value, surroundings::UserLocale());
}

}  // namespace orvex
