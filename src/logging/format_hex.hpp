// Number texts of the error logger.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvex::logging {

// The upper-case hexadecimal digits of value (a negative value as its 32-bit two's complement),
// zero-padded to digits and cut to the last digits characters: FormatHex(-2147467259, 8) is
// "80004005", FormatHex(255, 8) is "000000FF".
std::string FormatHex(int32_t value, int16_t digits);

// The number as the text log, the event log and the message box write it: the decimal plain
// number for a component error, FormatHex(number, 8) for a negative system error, otherwise the
// decimal number.
std::string NumberText(int32_t number);

// NumberText in a buffer of its own, for composing a record without a string of its own.
class NumberChars {
 public:
  explicit NumberChars(int32_t number);
  std::string_view View() const { return {chars_, size_}; }

 private:
  char chars_[12];  // "-2147483648", or eight hexadecimal digits
  size_t size_ = 0;
};

}  // namespace orvex::logging
