// Number texts of the error logger.
#pragma once

#include <cstdint>
#include <string>

namespace orvex::logging {

// The upper-case hexadecimal digits of value (a negative value as its 32-bit two's complement),
// zero-padded to digits and cut to the last digits characters: FormatHex(-2147467259, 8) is
// "80004005", FormatHex(255, 8) is "000000FF".
std::string FormatHex(int32_t value, int16_t digits);

// The number as the text log, the event log and the message box write it: the decimal plain
// number for a component error, FormatHex(number, 8) for a negative system error, otherwise the
// decimal number.
std::string NumberText(int32_t number);

}  // namespace orvex::logging
