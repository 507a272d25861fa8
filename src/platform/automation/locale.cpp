#include "orvex/locale.hpp"

#include <unicode/datefmt.h>
#include <unicode/dcfmtsym.h>
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

#include <cctype>
#include <memory>
#include <optional>

namespace orvex {

namespace {

std::string Utf8(const icu::UnicodeString& text) {
  std::string out;
  text.toUTF8String(out);
  return out;
}

// "en_US.UTF-8@euro" -> "en_US"; "C" and "POSIX" (and nothing) mean en_US.
std::string IcuNameOf(const std::string& name) {
  std::string base = name.substr(0, name.find_first_of(".@"));
  if (base.empty() || base == "C" || base == "POSIX") return "en_US";
  return base;
}

// Drops the bidi marks that some locales put around separators, and turns the no-break
// spaces of newer locale data into plain blanks, so that patterns compare and parse simply.
icu::UnicodeString Plain(icu::UnicodeString text) {
  icu::UnicodeString out;
  for (int32_t i = 0; i < text.length(); ++i) {
    const char16_t c = text.charAt(i);
    if (c == 0x200E || c == 0x200F || c == 0x061C) continue;
    out.append(c == 0x00A0 || c == 0x202F ? char16_t(' ') : c);
  }
  return out;
}

bool IsPatternLetter(char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The desktop spelling of one run of an ICU pattern letter, or nullopt to drop the run.
std::optional<std::string> DesktopField(char16_t letter, int32_t width) {
  switch (letter) {
    case 'y':
    case 'Y':
    case 'u':
      return std::string("yyyy");
    case 'M':
    case 'L':
      return std::string(width >= 2 ? "MM" : "M");
    case 'd':
      return std::string(width >= 2 ? "dd" : "d");
    case 'h':
    case 'K':
      return std::string(width >= 2 ? "hh" : "h");
    case 'H':
    case 'k':
      return std::string(width >= 2 ? "HH" : "H");
    case 'm':
      return std::string("mm");
    case 's':
      return std::string("ss");
    case 'a':
    case 'b':
    case 'B':
      return std::string("tt");
    default:
      return std::nullopt;  // era, weekday, zone: not part of the desktop's numeric patterns
  }
}

// Rewrites an ICU date or time pattern in the desktop's tokens; quoted literals are kept.
std::string DesktopPattern(const icu::UnicodeString& icuPattern) {
  const icu::UnicodeString pattern = Plain(icuPattern);
  std::string out;
  int32_t i = 0;
  while (i < pattern.length()) {
    const char16_t c = pattern.charAt(i);
    if (c == '\'') {
      const int32_t close = pattern.indexOf(char16_t('\''), i + 1);
      const int32_t end = close < 0 ? pattern.length() : close;
      out += "'" + Utf8(icu::UnicodeString(pattern, i + 1, end - i - 1)) + "'";
      i = end + 1;
    } else if (IsPatternLetter(c)) {
      int32_t width = 1;
      while (i + width < pattern.length() && pattern.charAt(i + width) == c) ++width;
      if (std::optional<std::string> field = DesktopField(c, width)) out += *field;
      i += width;
    } else {
      out += Utf8(icu::UnicodeString(c));
      ++i;
    }
  }
  // A dropped field can leave separators at either end.
  const size_t first = out.find_first_not_of(" ,.");
  const size_t last = out.find_last_not_of(" ,.");
  return first == std::string::npos ? out : out.substr(first, last - first + 1);
}

// The first run of non-letters between two fields of the pattern ("/" in "M/d/yyyy").
std::string SeparatorOf(const std::string& pattern, const std::string& fallback) {
  const size_t start = pattern.find_first_of("yMdHhms");
  if (start == std::string::npos) return fallback;
  size_t begin = start;
  while (begin < pattern.size() && std::isalpha(static_cast<unsigned char>(pattern[begin])))
    ++begin;
  size_t end = begin;
  while (end < pattern.size() && !std::isalpha(static_cast<unsigned char>(pattern[end]))) ++end;
  std::string separator = pattern.substr(begin, end - begin);
  if (end == pattern.size() || separator.empty()) return fallback;
  // "d. M. yyyy" separates by ". " on the desktop's terms, but reads with "."
  const size_t trimmed = separator.find_last_not_of(' ');
  return trimmed == std::string::npos ? separator : separator.substr(0, trimmed + 1);
}

Locale::DateOrder OrderOf(const std::string& pattern) {
  const size_t year = pattern.find('y');
  const size_t month = pattern.find('M');
  const size_t day = pattern.find('d');
  if (year != std::string::npos && (month == std::string::npos || year < month)) {
    return Locale::DateOrder::YMD;
  }
  if (day != std::string::npos && month != std::string::npos && day < month) {
    return Locale::DateOrder::DMY;
  }
  return Locale::DateOrder::MDY;
}

std::string PatternOf(icu::DateFormat* format, const std::string& fallback) {
  auto* simple = dynamic_cast<icu::SimpleDateFormat*>(format);
  if (simple == nullptr) return fallback;
  icu::UnicodeString pattern;
  simple->toPattern(pattern);
  return DesktopPattern(pattern);
}

void FillDatesAndTimes(const icu::Locale& icuLocale, Locale& locale) {
  std::unique_ptr<icu::DateFormat> shortDate(
      icu::DateFormat::createDateInstance(icu::DateFormat::kShort, icuLocale));
  std::unique_ptr<icu::DateFormat> mediumTime(
      icu::DateFormat::createTimeInstance(icu::DateFormat::kMedium, icuLocale));
  locale.shortDatePattern = PatternOf(shortDate.get(), locale.shortDatePattern);
  locale.longTimePattern = PatternOf(mediumTime.get(), locale.longTimePattern);
  locale.dateSeparator = SeparatorOf(locale.shortDatePattern, locale.dateSeparator);
  locale.timeSeparator = SeparatorOf(locale.longTimePattern, locale.timeSeparator);
  locale.dateOrder = OrderOf(locale.shortDatePattern);

  UErrorCode status = U_ZERO_ERROR;
  icu::DateFormatSymbols symbols(icuLocale, status);
  if (U_SUCCESS(status)) {
    int32_t count = 0;
    const icu::UnicodeString* amPm = symbols.getAmPmStrings(count);
    if (count >= 2) {
      locale.amDesignator = Utf8(Plain(amPm[0]));
      locale.pmDesignator = Utf8(Plain(amPm[1]));
    }
  }
}

void FillNumbers(const icu::Locale& icuLocale, Locale& locale) {
  UErrorCode status = U_ZERO_ERROR;
  icu::DecimalFormatSymbols symbols(icuLocale, status);
  if (U_FAILURE(status)) return;
  locale.decimalSeparator =
      Utf8(Plain(symbols.getSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol)));
  locale.thousandsSeparator =
      Utf8(Plain(symbols.getSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol)));
}

}  // namespace

Locale Locale::EnglishUS() {
  Locale locale;
  locale.name = "en_US";
  locale.shortDatePattern = "M/d/yyyy";
  locale.longTimePattern = "h:mm:ss tt";
  locale.dateSeparator = "/";
  locale.timeSeparator = ":";
  locale.decimalSeparator = ".";
  locale.thousandsSeparator = ",";
  locale.amDesignator = "AM";
  locale.pmDesignator = "PM";
  locale.dateOrder = DateOrder::MDY;
  return locale;
}

Locale Locale::EnglishUK() {
  Locale locale = EnglishUS();
  locale.name = "en_GB";
  locale.shortDatePattern = "dd/MM/yyyy";
  locale.longTimePattern = "HH:mm:ss";
  locale.amDesignator = "am";
  locale.pmDesignator = "pm";
  locale.dateOrder = DateOrder::DMY;
  return locale;
}

Locale Locale::FromName(const std::string& name) {
  const std::string icuName = IcuNameOf(name);
  const icu::Locale icuLocale(icuName.c_str());
  // The English desktop defaults stand wherever ICU has nothing to say.
  Locale locale = EnglishUS();
  locale.name = icuLocale.isBogus() ? icuName : std::string(icuLocale.getName());
  if (icuLocale.isBogus()) return locale;
  FillDatesAndTimes(icuLocale, locale);
  FillNumbers(icuLocale, locale);
  return locale;
}

}  // namespace orvex
