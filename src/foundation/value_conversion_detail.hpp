// The text and date steps of SetParameterValue.
#pragma once

#include <cstdint>
#include <string>

#include "orvex/locale.hpp"
#include "orvex/variant.hpp"

namespace orvex::data {
class Parameter;
}  // namespace orvex::data

namespace orvex::MComponent::detail {

// The first `count` characters (Unicode code points) of UTF-8 text; the whole text when it is
// shorter. Error 5 for a negative count.
std::string LeadingCharacters(const std::string& text, int32_t count);

// The number at the start of text as the runtime's Val reads it: blanks, tabs and line breaks
// are skipped, "." is the decimal point whatever the locale, an exponent E or D may follow;
// 0 when the text does not start with a number.
double LeadingNumber(const std::string& text);

// The date path: the value's text with every "." read as "/", normalised to year/month/day when
// it reads as a date or a number, then read as a date in the locale and stored. Every failing
// step is skipped; the parameter keeps its value when the last one fails.
void AssignDate(data::Parameter& parameter, const Variant& value, const Locale& locale);

}  // namespace orvex::MComponent::detail
