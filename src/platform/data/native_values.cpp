#include "platform/data/native_values.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "platform/automation/number_text.hpp"

namespace orvex::data::internal {

namespace {

std::optional<int64_t> ParseInteger(const std::string& text) {
  int64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> ParseReal(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size()) return std::nullopt;
  return value;
}

std::optional<int64_t> StoredInteger(const NativeValue& value) {
  switch (value.kind) {
    case NativeValue::Kind::Integer:
      return value.integer;
    case NativeValue::Kind::Real:
      if (std::nearbyint(value.real) == value.real && std::fabs(value.real) < 9.2e18)
        return static_cast<int64_t>(value.real);
      return std::nullopt;
    case NativeValue::Kind::Text:
      return ParseInteger(value.text);
    default:
      return std::nullopt;
  }
}

std::optional<double> StoredReal(const NativeValue& value) {
  switch (value.kind) {
    case NativeValue::Kind::Integer:
      return static_cast<double>(value.integer);
    case NativeValue::Kind::Real:
      return value.real;
    case NativeValue::Kind::Text:
      return ParseReal(value.text);
    default:
      return std::nullopt;
  }
}

std::string RealText(double value) {
  if (!std::isfinite(value)) return number_text::NonFiniteText(value);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

Variant ByteArray(const std::string& bytes) {
  SafeArray array(0, static_cast<int32_t>(bytes.size()));
  array.SetElementType(vbByte);
  for (size_t i = 0; i < bytes.size(); ++i)
    array[static_cast<int32_t>(i)] = Variant(static_cast<uint8_t>(bytes[i]));
  return Variant(std::move(array));
}

std::optional<std::string> ByteArrayBytes(const Variant& value) {
  if (value.VarType() != (vbArray | vbByte)) return std::nullopt;
  std::string bytes;
  for (const Variant& element : value.Array().Elements())
    bytes += static_cast<char>(element.Byte());
  return bytes;
}

// Stored value as text, for a text column or a value that does not read as its column's type.
Variant AsStored(const NativeValue& value) {
  switch (value.kind) {
    case NativeValue::Kind::Null:
      return Variant::Null();
    case NativeValue::Kind::Integer:
      if (value.integer >= INT32_MIN && value.integer <= INT32_MAX)
        return Variant(static_cast<int32_t>(value.integer));
      return Variant(Decimal::FromInt64(value.integer));
    case NativeValue::Kind::Real:
      return Variant(value.real);
    case NativeValue::Kind::Text:
      return Variant(value.text);
    case NativeValue::Kind::Blob:
      return ByteArray(value.text);
  }
  return Variant::Null();
}

Variant IntegerVariant(int64_t number, int32_t adoType) {
  if (adoType == adSmallInt && number >= INT16_MIN && number <= INT16_MAX)
    return Variant(static_cast<int16_t>(number));
  if ((adoType == adTinyInt || adoType == adUnsignedTinyInt) && number >= 0 && number <= 255)
    return Variant(static_cast<uint8_t>(number));
  if (adoType != adBigInt && number >= INT32_MIN && number <= INT32_MAX)
    return Variant(static_cast<int32_t>(number));
  return Variant(Decimal::FromInt64(number));
}

Variant DecimalVariant(const NativeValue& value) {
  if (value.kind == NativeValue::Kind::Integer) return Variant(Decimal::FromInt64(value.integer));
  if (value.kind == NativeValue::Kind::Real) return Variant(Decimal::FromDouble(value.real));
  try {
    return Variant(Decimal::Parse(value.text));
  } catch (const AutomationError&) {
    return AsStored(value);
  }
}

Variant DateVariant(const NativeValue& value) {
  if (value.kind == NativeValue::Kind::Text) {
    if (auto date = ParseIsoDate(value.text)) return Variant(*date);
    return AsStored(value);
  }
  if (auto serial = StoredReal(value)) return Variant(Date(*serial));
  return AsStored(value);
}

int64_t RoundToInt64(const Variant& value) {
  if (value.VarType() == vbDecimal) {
    double number = std::nearbyint(value.Dec().ToDouble());
    if (!(std::fabs(number) < 9.2e18)) Raise(errOverflow);
    return static_cast<int64_t>(number);
  }
  double number = std::nearbyint(CDbl(value));            // the default rounding is half to even
  if (!(std::fabs(number) < 9.2e18)) Raise(errOverflow);  // not-a-number included
  return static_cast<int64_t>(number);
}

// A value sent under its own subtype, for parameters without a usable declared type.
NativeValue UntypedToNative(const Variant& value) {
  switch (value.VarType()) {
    case vbInteger:
    case vbLong:
    case vbByte:
      return NativeValue::Integer(CLng(value));
    case vbBoolean:
      return NativeValue::Integer(value.Bool() ? 1 : 0);
    case vbSingle:
    case vbDouble:
      return NativeValue::Real(CDbl(value));
    case vbCurrency:
      return NativeValue::Real(value.Cy().ToDouble());
    case vbDecimal:
      return NativeValue::Text(value.Dec().ToString());
    case vbDate:
      return NativeValue::Text(FormatIsoDate(value.DateValue(), adDate));
    case vbString:
      return NativeValue::Text(value.Str());
    default:
      if (auto bytes = ByteArrayBytes(value)) return NativeValue::Blob(*bytes);
      Raise(errTypeMismatch);
  }
}

}  // namespace

bool IsDateType(int32_t t) {
  return t == adDate || t == adDBDate || t == adDBTime || t == adDBTimeStamp;
}

bool IsTextType(int32_t t) {
  return t == adBSTR || t == adChar || t == adWChar || t == adVarChar || t == adLongVarChar ||
         t == adVarWChar || t == adLongVarWChar || t == adGUID;
}

bool IsIntegerType(int32_t t) {
  return t == adSmallInt || t == adInteger || t == adTinyInt || t == adUnsignedTinyInt ||
         t == adBigInt;
}

bool IsNumericType(int32_t t) {
  return IsIntegerType(t) || t == adSingle || t == adDouble || t == adCurrency || t == adDecimal ||
         t == adNumeric;
}

std::string FormatIsoDate(Date value, int32_t adoType) {
  DateParts p = value.Parts();
  char buffer[32];
  if (adoType == adDBDate)
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", p.year, p.month, p.day);
  else if (adoType == adDBTime)
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", p.hour, p.minute, p.second);
  else
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day,
                  p.hour, p.minute, p.second);
  return buffer;
}

std::optional<Date> ParseIsoDate(std::string_view text) {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
  std::string s(text);
  int used = 0;
  bool parsed = false;
  if (std::sscanf(s.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &used) == 3 && used == 10) {
    parsed = true;
    if (static_cast<size_t>(used) < s.size()) {
      if (s[used] != ' ' && s[used] != 'T') return std::nullopt;
      std::string time = s.substr(used + 1);
      int timeUsed = 0;
      if (std::sscanf(time.c_str(), "%2d:%2d%n", &hour, &minute, &timeUsed) != 2)
        return std::nullopt;
      std::string rest = time.substr(timeUsed);
      if (!rest.empty()) {
        double seconds = 0;
        int restUsed = 0;
        if (std::sscanf(rest.c_str(), ":%lf%n", &seconds, &restUsed) != 1 ||
            static_cast<size_t>(restUsed) != rest.size())
          return std::nullopt;
        second = static_cast<int>(seconds);
      }
    }
  } else if (std::sscanf(s.c_str(), "%2d:%2d:%2d%n", &hour, &minute, &second, &used) == 3 &&
             static_cast<size_t>(used) == s.size()) {
    // A time of day is a time on the zero date (the failed date scan may have set the year).
    year = 1899, month = 12, day = 30;
    parsed = true;
  }
  if (!parsed) return std::nullopt;
  try {
    return Date(year, month, day, hour, minute, second);
  } catch (const AutomationError&) {
    return std::nullopt;
  }
}

NativeValue ToNative(const Variant& value, int32_t adoType) {
  uint16_t vt = value.VarType();
  if (vt == vbEmpty || vt == vbNull || value.IsMissing()) return NativeValue::Null();
  if (IsIntegerType(adoType)) return NativeValue::Integer(RoundToInt64(value));
  if (IsDateType(adoType)) return NativeValue::Text(FormatIsoDate(CDate(value), adoType));
  if (IsTextType(adoType)) return NativeValue::Text(CStr(value));
  switch (adoType) {
    case adBoolean:
      return NativeValue::Integer(CBool(value) ? 1 : 0);
    case adSingle:
    case adDouble:
      return NativeValue::Real(CDbl(value));
    case adCurrency:
      return NativeValue::Real(CCur(value).ToDouble());
    case adDecimal:
    case adNumeric:
      return NativeValue::Text(CDec(value).ToString());
    case adBinary:
    case adVarBinary:
    case adLongVarBinary:
      if (auto bytes = ByteArrayBytes(value)) return NativeValue::Blob(*bytes);
      return NativeValue::Blob(CStr(value));
    default:
      return UntypedToNative(value);
  }
}

Variant FromNative(NativeValue&& value, int32_t adoType) {
  if (value.kind == NativeValue::Kind::Text && IsTextType(adoType))
    return Variant(std::move(value.text));
  return FromNative(static_cast<const NativeValue&>(value), adoType);
}

void AppendFromNative(std::vector<Variant>& row, NativeValue&& value, int32_t adoType) {
  if (value.kind == NativeValue::Kind::Text && IsTextType(adoType)) {
    row.emplace_back(std::move(value.text));
  } else if (value.kind == NativeValue::Kind::Integer && adoType == adInteger &&
             value.integer >= INT32_MIN && value.integer <= INT32_MAX) {
    row.emplace_back(static_cast<int32_t>(value.integer));
  } else {
    row.push_back(FromNative(std::move(value), adoType));
  }
}

Variant FromNative(const NativeValue& value, int32_t adoType) {
  if (value.kind == NativeValue::Kind::Null) return Variant::Null();
  if (IsIntegerType(adoType)) {
    if (auto number = StoredInteger(value)) return IntegerVariant(*number, adoType);
    return AsStored(value);
  }
  if (IsDateType(adoType)) return DateVariant(value);
  if (IsTextType(adoType)) {
    if (value.kind == NativeValue::Kind::Integer) return Variant(std::to_string(value.integer));
    if (value.kind == NativeValue::Kind::Real) return Variant(RealText(value.real));
    return Variant(value.text);
  }
  switch (adoType) {
    case adBoolean:
      if (auto number = StoredInteger(value)) return Variant(*number != 0);
      if (value.kind == NativeValue::Kind::Text && (value.text == "true" || value.text == "t"))
        return Variant(true);
      if (value.kind == NativeValue::Kind::Text && (value.text == "false" || value.text == "f"))
        return Variant(false);
      return AsStored(value);
    case adSingle:
      if (auto number = StoredReal(value)) return Variant(static_cast<float>(*number));
      return AsStored(value);
    case adDouble:
      if (auto number = StoredReal(value)) return Variant(*number);
      return AsStored(value);
    case adCurrency:
      if (auto number = StoredReal(value)) return Variant(Currency::FromDouble(*number));
      return AsStored(value);
    case adDecimal:
    case adNumeric:
      return DecimalVariant(value);
    case adBinary:
    case adVarBinary:
    case adLongVarBinary:
      if (value.kind == NativeValue::Kind::Blob || value.kind == NativeValue::Kind::Text)
        return ByteArray(value.text);
      return AsStored(value);
    default:
      return AsStored(value);
  }
}

}  // namespace orvex::data::internal
