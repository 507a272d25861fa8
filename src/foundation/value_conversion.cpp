#include "orvex/value_conversion.hpp"

#include <optional>
#include <string>

#include "foundation/value_conversion_detail.hpp"
#include "orvex/data.hpp"
#include "orvex/host.hpp"
#include "platform/data/native_values.hpp"

namespace orvex::MComponent {

namespace {

using namespace data;

// The text types whose value is the text cut to the parameter's size. adLongVarWChar is not one:
// it takes the value unconverted, though its placeholder is a text.
bool IsSizedTextType(int32_t type) {
  switch (type) {
    case adBSTR:
    case adChar:
    case adWChar:
    case adVarChar:
    case adLongVarChar:
    case adVarWChar:
      return true;
    default:
      return false;
  }
}

// adInteger and the unsigned 16/32-bit types take the integer of the parameter's size; any other
// size stores nothing (nullopt).
std::optional<Variant> IntegerBySize(const Variant& value, int32_t size, const Locale& locale) {
  switch (size) {
    case 1:
      return Variant(CByte(value, locale));
    case 2:
      return Variant(CInt(value, locale));
    case 4:
      return Variant(CLng(value, locale));
    default:
      return std::nullopt;
  }
}

// adNumeric takes any number the runtime reads; other text gives its leading number.
Variant NumericValue(const Variant& value, const Locale& locale) {
  if (IsNumeric(value, locale)) return Variant(CDec(value, locale));
  return Variant(Decimal::FromDouble(detail::LeadingNumber(CStr(value, locale))));
}

// The converted value for the parameter, or nullopt when the type stores nothing. Raises when
// the value cannot be converted.
std::optional<Variant> Converted(const Parameter& parameter, const Variant& value,
                                 const Locale& locale) {
  const int32_t type = parameter.Type;
  if (IsSizedTextType(type))
    return Variant(detail::LeadingCharacters(CStr(value, locale), parameter.Size));
  switch (type) {
    case adSmallInt:
      return Variant(CInt(value, locale));
    case adInteger:
    case 18:  // adUnsignedSmallInt
    case 19:  // adUnsignedInt
      return IntegerBySize(value, parameter.Size, locale);
    case adSingle:
      return Variant(CSng(value, locale));
    case adDouble:
      return Variant(CDbl(value, locale));
    case adCurrency:
    case adBigInt:
    case 21:  // adUnsignedBigInt
      return Variant(CCur(value, locale));
    case adBoolean:
      return Variant(CBool(value, locale));
    case adDecimal:
      return Variant(CDec(value, locale));
    case adTinyInt:
    case adUnsignedTinyInt:
      return Variant(CByte(value, locale));
    case adNumeric:
      return NumericValue(value, locale);
    default:
      // Variants, binaries and every type without a conversion of its own take the value as is.
      return value;
  }
}

}  // namespace

bool SetParameterValue(Parameter& parameter, const Variant& value) {
  try {
    const Locale locale = CurrentHost().UserLocale();
    if (data::internal::IsDateType(parameter.Type)) {
      detail::AssignDate(parameter, value, locale);
      return true;
    }
    std::optional<Variant> converted = Converted(parameter, value, locale);
    if (converted) parameter.Value = std::move(*converted);
    return true;
  } catch (...) {
    return false;
  }
}

bool SetParameterValue(const std::shared_ptr<Parameter>& parameter, const Variant& value) {
  return parameter && SetParameterValue(*parameter, value);
}

Variant DefaultValueForType(int32_t type) {
  switch (type) {
    case adDate:
    case adDBDate:
    case adDBTime:
      return Variant(CurrentHost().Now());
    case adLongVarWChar:
      return Variant(" ");
    case adBoolean:
      return Variant(true);
    default:
      return IsSizedTextType(type) ? Variant(" ") : Variant(int16_t{0});
  }
}

}  // namespace orvex::MComponent
