#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "decimal_math.hpp"
#include "number_text.hpp"
#include "orvex/automation_error.hpp"
#include "orvex/variant.hpp"
#include "platform/automation/ascii_case.hpp"
#include "platform/automation/surroundings.hpp"

namespace orvex {

namespace {

using decimal_math::Int128;

// The serials of 100-01-01 and 9999-12-31 23:59:59, the range of an automation date.
constexpr double kFirstDate = -657434.0;
constexpr double kLastDate = 2958465.99999;

// Text that does not read as the target: the runtime's own "Type mismatch", as callers compare
// the number and pass the description on unchanged.
[[noreturn]] void RaiseNotText() { Raise(errTypeMismatch); }

number_text::ReadValue ReadOrRaise(const std::string& text, const Locale& locale) {
  std::optional<number_text::ReadValue> read = number_text::Read(text, locale);
  if (!read) RaiseNotText();
  return *read;
}

Int128 RoundDouble(double value) {
  const double rounded = std::nearbyint(value);  // half to even in the default rounding mode
  if (!(std::fabs(rounded) < 9.2e18)) Raise(errOverflow);
  return static_cast<Int128>(static_cast<int64_t>(rounded));
}

Int128 RoundCurrency(int64_t scaled) {
  Int128 whole = scaled / 10000;
  const int64_t remainder = scaled % 10000;
  const int64_t twice = (remainder < 0 ? -remainder : remainder) * 2;
  const int direction = scaled < 0 ? -1 : 1;
  if (twice > 10000 || (twice == 10000 && whole % 2 != 0)) whole += direction;
  return whole;
}

double DoubleOf(const Variant& value, const Locale& locale) {
  switch (value.VarType()) {
    case vbEmpty:
      return 0.0;
    case vbNull:
      Raise(errInvalidUseOfNull);
    case vbBoolean:
      return value.Bool() ? -1.0 : 0.0;
    case vbByte:
      return value.Byte();
    case vbInteger:
      return value.I2();
    case vbLong:
      return value.I4();
    case vbSingle:
      return value.R4();
    case vbDouble:
      return value.R8();
    case vbDate:
      return value.DateValue().Value();
    case vbCurrency:
      return value.Cy().ToDouble();
    case vbDecimal:
      return value.Dec().ToDouble();
    case vbString:
      return number_text::ToDouble(ReadOrRaise(value.Str(), locale));
    default:
      Raise(errTypeMismatch);
  }
}

// The value as a whole number, rounded half to even (the integer targets' first step): Currency
// and Decimal exactly, every other kind through its double.
Int128 WholeOf(const Variant& value, const Locale& locale) {
  switch (value.VarType()) {
    case vbCurrency:
      return RoundCurrency(value.Cy().scaled);
    case vbDecimal:
      return decimal_math::RoundToInteger(value.Dec());
    default:
      return RoundDouble(DoubleOf(value, locale));
  }
}

template <class T>
T WholeInRange(const Variant& value, const Locale& locale) {
  const Int128 whole = WholeOf(value, locale);
  if (whole < std::numeric_limits<T>::min() || whole > std::numeric_limits<T>::max()) {
    Raise(errOverflow);
  }
  return static_cast<T>(whole);
}

Decimal DecimalOfFloat(float value) {
  if (!std::isfinite(value)) Raise(errOverflow);
  // A single keeps seven significant digits.
  char buffer[32];
  const int length = std::snprintf(buffer, sizeof buffer, "%.6e", static_cast<double>(value));
  double shortest = 0.0;
  std::from_chars(buffer, buffer + length, shortest);
  return Decimal::FromDouble(shortest);
}

bool IsTrueText(const std::string& text, const char* word) {
  std::string trimmed = text;
  trimmed.erase(0, trimmed.find_first_not_of(" \t"));
  trimmed.erase(trimmed.find_last_not_of(" \t") + 1);
  return ascii::EqualsIgnoringCase(trimmed, word);
}

std::string StringOf(const Variant& value, const Locale& locale) {
  switch (value.VarType()) {
    case vbEmpty:
      return "";
    case vbNull:
      Raise(errInvalidUseOfNull);
    case vbBoolean:
      return value.Bool() ? "True" : "False";
    case vbByte:
      return std::to_string(value.Byte());
    case vbInteger:
      return std::to_string(value.I2());
    case vbLong:
      return std::to_string(value.I4());
    case vbSingle:
      return number_text::FormatDouble(value.R4(), 7, locale);
    case vbDouble:
      return number_text::FormatDouble(value.R8(), 15, locale);
    case vbDate:
      return FormatGeneralDate(value.DateValue(), locale);
    case vbCurrency:
      return number_text::LocalisePoint(decimal_math::FromCurrency(value.Cy().scaled).ToString(),
                                        locale);
    case vbDecimal:
      return number_text::LocalisePoint(value.Dec().ToString(), locale);
    case vbString:
      return value.Str();
    default:
      Raise(errTypeMismatch);
  }
}

}  // namespace

std::string CStr(const Variant& value, const Locale& locale) { return StringOf(value, locale); }

int16_t CInt(const Variant& value, const Locale& locale) {
  return WholeInRange<int16_t>(value, locale);
}

int32_t CLng(const Variant& value, const Locale& locale) {
  return WholeInRange<int32_t>(value, locale);
}

uint8_t CByte(const Variant& value, const Locale& locale) {
  return WholeInRange<uint8_t>(value, locale);
}

float CSng(const Variant& value, const Locale& locale) {
  const double wide = DoubleOf(value, locale);
  if (std::fabs(wide) > FLT_MAX) Raise(errOverflow);
  return static_cast<float>(wide);
}

double CDbl(const Variant& value, const Locale& locale) { return DoubleOf(value, locale); }

Currency CCur(const Variant& value, const Locale& locale) {
  switch (value.VarType()) {
    case vbCurrency:
      return value.Cy();
    case vbDecimal:
      return decimal_math::ToCurrency(value.Dec());
    case vbString:
      return decimal_math::ToCurrency(number_text::ToDecimal(ReadOrRaise(value.Str(), locale)));
    default:
      return Currency::FromDouble(DoubleOf(value, locale));
  }
}

Decimal CDec(const Variant& value, const Locale& locale) {
  switch (value.VarType()) {
    case vbEmpty:
      return Decimal{};
    case vbNull:
      Raise(errInvalidUseOfNull);
    case vbBoolean:
      return Decimal::FromInt64(value.Bool() ? -1 : 0);
    case vbByte:
      return Decimal::FromInt64(value.Byte());
    case vbInteger:
      return Decimal::FromInt64(value.I2());
    case vbLong:
      return Decimal::FromInt64(value.I4());
    case vbSingle:
      return DecimalOfFloat(value.R4());
    case vbDouble:
      return Decimal::FromDouble(value.R8());
    case vbDate:
      return Decimal::FromDouble(value.DateValue().Value());
    case vbCurrency:
      return decimal_math::FromCurrency(value.Cy().scaled);
    case vbDecimal:
      return value.Dec();
    case vbString:
      return number_text::ToDecimal(ReadOrRaise(value.Str(), locale));
    default:
      Raise(errTypeMismatch);
  }
}

Date CDate(const Variant& value, const Locale& locale) {
  switch (value.VarType()) {
    case vbDate:
      return value.DateValue();
    case vbString: {
      std::optional<Date> date = ParseDate(value.Str(), locale);
      if (!date) RaiseNotText();
      return *date;
    }
    default: {
      const double serial = DoubleOf(value, locale);
      if (!(serial >= kFirstDate && serial < kLastDate + 0.00001)) Raise(errOverflow);
      return Date(serial);
    }
  }
}

bool CBool(const Variant& value, const Locale& locale) {
  switch (value.VarType()) {
    case vbBoolean:
      return value.Bool();
    case vbString: {
      if (IsTrueText(value.Str(), "true")) return true;
      if (IsTrueText(value.Str(), "false")) return false;
      std::optional<number_text::ReadValue> read = number_text::Read(value.Str(), locale);
      if (!read) RaiseNotText();
      return number_text::ToDouble(*read) != 0.0;
    }
    case vbCurrency:
      return value.Cy().scaled != 0;
    case vbDecimal:
      return decimal_math::Magnitude(value.Dec()) != 0;
    default:
      return DoubleOf(value, locale) != 0.0;
  }
}

bool IsNumeric(const Variant& value, const Locale& locale) {
  switch (value.VarType()) {
    case vbEmpty:
    case vbBoolean:
    case vbByte:
    case vbInteger:
    case vbLong:
    case vbSingle:
    case vbDouble:
    case vbCurrency:
    case vbDecimal:
      return true;
    case vbString:
      return number_text::Read(value.Str(), locale).has_value();
    default:
      return false;
  }
}

bool IsDate(const Variant& value, const Locale& locale) {
  if (value.VarType() == vbDate) return true;
  return value.VarType() == vbString && ParseDate(value.Str(), locale).has_value();
}

Variant ChangeType(const Variant& value, uint16_t vt, const Locale& locale) {
  if (vt == vbVariant || vt == value.VarType()) return value;
  switch (vt) {
    case vbEmpty:
      return Variant();
    case vbNull:
      return Variant::Null();
    case vbInteger:
      return Variant(CInt(value, locale));
    case vbLong:
      return Variant(CLng(value, locale));
    case vbSingle:
      return Variant(CSng(value, locale));
    case vbDouble:
      return Variant(CDbl(value, locale));
    case vbCurrency:
      return Variant(CCur(value, locale));
    case vbDate:
      return Variant(CDate(value, locale));
    case vbString:
      return Variant(CStr(value, locale));
    case vbBoolean:
      return Variant(CBool(value, locale));
    case vbDecimal:
      return Variant(CDec(value, locale));
    case vbByte:
      return Variant(CByte(value, locale));
    default:
      Raise(errTypeMismatch);
  }
}

// ---- the same, in the calling thread's user locale

std::string CStr(Variant&& value) {
  if (auto* text = std::get_if<std::string>(&value.value_)) return std::move(*text);
  return CStr(static_cast<const Variant&>(value));
}

std::string CStr(const Variant& value) {
  // Text needs no locale; fetching the user's would cost more than the copy.
  if (value.VarType() == vbString) return value.Str();
  return CStr(value, surroundings::UserLocale());
}
namespace {

// Numbers, dates, booleans, Empty and Null convert to numbers the same in every locale; only
// texts (and what may hold one) are read in the user's locale, which costs more to fetch than
// the conversion itself.
bool ReadsInLocale(const Variant& value) {
  switch (value.VarType()) {
    case vbEmpty:
    case vbNull:
    case vbInteger:
    case vbLong:
    case vbSingle:
    case vbDouble:
    case vbCurrency:
    case vbDate:
    case vbBoolean:
    case vbDecimal:
    case vbByte:
      return false;
    default:
      return true;
  }
}

template <class Result>
Result InUserLocale(const Variant& value, Result (*convert)(const Variant&, const Locale&)) {
  if (ReadsInLocale(value)) return convert(value, surroundings::UserLocale());
  static const Locale kNotConsulted = Locale::EnglishUS();
  return convert(value, kNotConsulted);
}

}  // namespace

int16_t CInt(const Variant& value) { return InUserLocale<int16_t>(value, CInt); }
int32_t CLng(const Variant& value) { return InUserLocale<int32_t>(value, CLng); }
uint8_t CByte(const Variant& value) { return InUserLocale<uint8_t>(value, CByte); }
float CSng(const Variant& value) { return InUserLocale<float>(value, CSng); }
double CDbl(const Variant& value) { return InUserLocale<double>(value, CDbl); }
Currency CCur(const Variant& value) { return InUserLocale<Currency>(value, CCur); }
Decimal CDec(const Variant& value) { return InUserLocale<Decimal>(value, CDec); }
Date CDate(const Variant& value) { return InUserLocale<Date>(value, CDate); }
bool CBool(const Variant& value) { return InUserLocale<bool>(value, CBool); }
bool IsNumeric(const Variant& value) { return InUserLocale<bool>(value, IsNumeric); }
bool IsDate(const Variant& value) { return InUserLocale<bool>(value, IsDate); }
Variant ChangeType(const Variant& value, uint16_t vt) {
  return ChangeType(value, vt, surroundings::UserLocale());
}

}  // namespace orvex
