#include <algorithm>
#include <optional>
#include <string>

#include "foundation/error_path.hpp"
#include "foundation/value_conversion_detail.hpp"
#include "orvex/data.hpp"

namespace orvex::MComponent::detail {

namespace {

// Text that reads as a date (or as a date's serial number) in the locale, written year first;
// other text unchanged.
std::string AsYearMonthDay(const std::string& text, const Locale& locale) {
  std::optional<Date> date = ParseDate(text, locale);
  if (!date) {
    std::optional<double> serial = ParseNumber(text, locale);
    if (serial) date = Date(*serial);
  }
  return date ? FormatDate(*date, "yyyy/mm/dd", locale) : text;
}

}  // namespace

void AssignDate(data::Parameter& parameter, const Variant& value, const Locale& locale) {
  std::string text;
  foundation::IgnoringFailure([&] { text = CStr(value, locale); });
  // Dates written day.month.year are common in client data; read the dots as date separators
  // and put the year first so that the locale's day order cannot misread them afterwards.
  if (text.find('.') != std::string::npos) {
    std::replace(text.begin(), text.end(), '.', '/');
    foundation::IgnoringFailure([&] { text = AsYearMonthDay(text, locale); });
  }
  foundation::IgnoringFailure([&] { parameter.Value = Variant(CDate(Variant(text), locale)); });
}

}  // namespace orvex::MComponent::detail
