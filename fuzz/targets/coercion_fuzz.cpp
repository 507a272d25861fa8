// Text to number and text to date in several locales: the runtime's readers and the CDbl / CDate
// coercions built on them. A text read as a number must coerce to the same number.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "orvex/automation_error.hpp"
#include "orvex/locale.hpp"
#include "orvex/variant.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvex;
  if (size == 0) return 0;
  static const Locale kLocales[] = {Locale::FromName("en_US"), Locale::FromName("en_GB"),
                                    Locale::FromName("de_DE"), Locale::FromName("ar_SA")};
  const Locale& locale = kLocales[data[0] % 4];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::optional<double> number = ParseNumber(text, locale);
  std::optional<Date> date = ParseDate(text, locale);
  try {
    double coerced = CDbl(Variant(text), locale);
    if (number && !std::isnan(*number) && coerced != *number) __builtin_trap();
  } catch (const AutomationError&) {
  }
  try {
    (void)CDate(Variant(text), locale);
  } catch (const AutomationError&) {
  }
  if (date) (void)CStr(Variant(*date));
  return 0;
}
