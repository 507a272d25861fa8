#include <cctype>
#include <cstdlib>
#include <string>

#include "foundation/value_conversion_detail.hpp"
#include "orvex/automation_error.hpp"

namespace orvex::MComponent::detail {

namespace {

bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

bool IsSkippedBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

std::string LeadingCharacters(const std::string& text, int32_t count) {
  if (count < 0) Raise(errInvalidProcedureCall);
  size_t end = 0;
  for (int32_t taken = 0; end < text.size() && taken < count; ++taken) {
    ++end;
    while (end < text.size() && IsContinuationByte(static_cast<unsigned char>(text[end]))) ++end;
  }
  return text.substr(0, end);
}

double LeadingNumber(const std::string& text) {
  std::string blanksRemoved;
  for (char c : text)
    if (!IsSkippedBlank(c)) blanksRemoved += c;

  // Copy the longest prefix of the form [sign] digits [. digits] [E|D [sign] digits].
  std::string number;
  size_t i = 0;
  auto digitAt = [&](size_t at) {
    return at < blanksRemoved.size() && std::isdigit(static_cast<unsigned char>(blanksRemoved[at]));
  };
  auto takeDigits = [&] {
    size_t start = i;
    while (digitAt(i)) number += blanksRemoved[i++];
    return i > start;
  };
  if (i < blanksRemoved.size() && (blanksRemoved[i] == '+' || blanksRemoved[i] == '-'))
    number += blanksRemoved[i++];
  bool digits = takeDigits();
  if (i < blanksRemoved.size() && blanksRemoved[i] == '.') {
    number += blanksRemoved[i++];
    digits = takeDigits() || digits;
  }
  if (!digits) return 0.0;
  if (i < blanksRemoved.size() && std::string("eEdD").find(blanksRemoved[i]) != std::string::npos) {
    size_t exponentStart = i + 1;
    if (exponentStart < blanksRemoved.size() &&
        (blanksRemoved[exponentStart] == '+' || blanksRemoved[exponentStart] == '-'))
      ++exponentStart;
    if (digitAt(exponentStart)) {
      number += 'e';
      number.append(blanksRemoved, i + 1, exponentStart - i - 1);
      i = exponentStart;
      takeDigits();
    }
  }
  return std::strtod(number.c_str(), nullptr);
}

}  // namespace orvex::MComponent::detail
