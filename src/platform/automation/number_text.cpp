#include "number_text.hpp"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "decimal_math.hpp"
#include "orvex/automation_error.hpp"
#include "orvex/variant.hpp"

namespace orvex::number_text {

namespace {

// Blanks that may surround a number or stand for a blank thousands separator.
size_t BlankAt(std::string_view text, size_t at) {
  if (at >= text.size()) return 0;
  if (text[at] == ' ' || text[at] == '\t') return 1;
  if (text.substr(at, 2) == "\xC2\xA0") return 2;      // no-break space
  if (text.substr(at, 3) == "\xE2\x80\xAF") return 3;  // narrow no-break space
  return 0;
}

std::string_view Trim(std::string_view text) {
  for (size_t width = BlankAt(text, 0); width != 0; width = BlankAt(text, 0)) {
    text.remove_prefix(width);
  }
  while (!text.empty()) {
    size_t width = 0;
    for (size_t w = 1; w <= 3 && w <= text.size(); ++w) {
      if (BlankAt(text, text.size() - w) == w) width = w;
    }
    if (width == 0) break;
    text.remove_suffix(width);
  }
  return text;
}

bool StartsWith(std::string_view text, size_t at, const std::string& part) {
  return !part.empty() && text.substr(at, part.size()) == part;
}

// "&H1F" and "&O17": four digits or fewer make a 16-bit value, as the runtime reads them.
std::optional<ReadValue> ReadRadix(std::string_view text) {
  const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(text[1])));
  const int base = kind == 'H' ? 16 : kind == 'O' ? 8 : 0;
  const std::string_view digits = text.substr(2);
  if (base == 0 || digits.empty() || digits.size() > (base == 16 ? 8u : 11u)) return std::nullopt;
  uint64_t value = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (error != std::errc() || end != digits.data() + digits.size() || value > 0xFFFFFFFFu) {
    return std::nullopt;
  }
  ReadValue read;
  const bool shortForm = value <= 0xFFFF && (base == 16 ? digits.size() <= 4 : value <= 0177777);
  read.hexValue = shortForm ? static_cast<double>(static_cast<int16_t>(value))
                            : static_cast<double>(static_cast<int32_t>(value));
  return read;
}

bool IsBlankGrouping(const Locale& locale) {
  return locale.thousandsSeparator == " " || locale.thousandsSeparator == "\xC2\xA0" ||
         locale.thousandsSeparator == "\xE2\x80\xAF";
}

// Reads the digits, grouping and decimal separator; returns the position after them.
size_t ReadMantissa(std::string_view text, size_t at, const Locale& locale, ReadValue& read) {
  bool seenPoint = false;
  bool seenDigit = false;
  while (at < text.size()) {
    const char c = text[at];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      read.digits += c;
      if (seenPoint) --read.exponent;
      seenDigit = true;
      ++at;
    } else if (!seenPoint && StartsWith(text, at, locale.decimalSeparator)) {
      seenPoint = true;
      at += locale.decimalSeparator.size();
    } else if (!seenPoint && seenDigit && StartsWith(text, at, locale.thousandsSeparator)) {
      at += locale.thousandsSeparator.size();
    } else if (!seenPoint && seenDigit && IsBlankGrouping(locale) && BlankAt(text, at) != 0 &&
               at + BlankAt(text, at) < text.size() &&
               std::isdigit(static_cast<unsigned char>(text[at + BlankAt(text, at)]))) {
      at += BlankAt(text, at);
    } else {
      break;
    }
  }
  return seenDigit ? at : std::string_view::npos;
}

// Reads "E+05" style; returns the position after it, or npos when malformed.
size_t ReadExponent(std::string_view text, size_t at, ReadValue& read) {
  if (at >= text.size()) return at;
  const char marker = static_cast<char>(std::toupper(static_cast<unsigned char>(text[at])));
  if (marker != 'E' && marker != 'D') return at;
  ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  int exponent = 0;
  const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), exponent);
  if (error != std::errc() || end == text.data() + at || exponent > 100000) {
    return std::string_view::npos;
  }
  read.exponent += negative ? -exponent : exponent;
  return static_cast<size_t>(end - text.data());
}

}  // namespace

std::optional<ReadValue> Read(std::string_view text, const Locale& locale) {
  text = Trim(text);
  if (text.size() > 2 && text[0] == '&') return ReadRadix(text);
  ReadValue read;
  bool parenthesised = false;
  size_t at = 0;
  if (at < text.size() && text[at] == '(' && text.back() == ')') {
    // Accounting style: (5) is -5.
    parenthesised = true;
    text = Trim(text.substr(1, text.size() - 2));
  }
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    read.negative = text[at++] == '-';
    while (BlankAt(text, at) != 0) at += BlankAt(text, at);
  }
  if (parenthesised && at != 0) return std::nullopt;
  read.negative = read.negative || parenthesised;
  at = ReadMantissa(text, at, locale, read);
  if (at == std::string_view::npos) return std::nullopt;
  at = ReadExponent(text, at, read);
  if (at != text.size()) return std::nullopt;
  return read;
}

double ToDouble(const ReadValue& value) {
  if (value.hexValue) return *value.hexValue;
  const std::string text = (value.negative ? "-" : "") +
                           (value.digits.empty() ? std::string("0") : value.digits) + "e" +
                           std::to_string(value.exponent);
  double result = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), result);
  if (error == std::errc::result_out_of_range) {
    // Too small rounds to zero; too large does not fit.
    const size_t significant = value.digits.find_first_not_of('0');
    if (significant == std::string::npos) return 0.0;
    const long magnitude = static_cast<long>(value.digits.size() - significant) + value.exponent;
    if (magnitude < 0) return 0.0;
    Raise(errOverflow);
  }
  (void)end;
  return result;
}

Decimal ToDecimal(const ReadValue& value) {
  if (value.hexValue) return Decimal::FromInt64(static_cast<int64_t>(*value.hexValue));
  return decimal_math::FromDigits(value.digits, value.exponent, value.negative, false);
}

std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "NaN";
  return value > 0 ? "Infinity" : "-Infinity";
}

std::string FormatDouble(double value, int significantDigits, const Locale& locale) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  if (value == 0.0) return "0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*G", significantDigits, value);
  return LocalisePoint(buffer, locale);
}

std::string LocalisePoint(std::string text, const Locale& locale) {
  const size_t point = text.find('.');
  if (point != std::string::npos) text.replace(point, 1, locale.decimalSeparator);
  return text;
}

}  // namespace orvex::number_text

namespace orvex {

std::optional<double> ParseNumber(std::string_view text, const Locale& locale) {
  const std::optional<number_text::ReadValue> read = number_text::Read(text, locale);
  if (!read) return std::nullopt;
  try {
    return number_text::ToDouble(*read);
  } catch (const AutomationError&) {
    return std::nullopt;  // beyond the range of a double
  }
}

}  // namespace orvex
