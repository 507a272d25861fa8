#include "orvex/gmessage.hpp"

#include <limits>

#include "orvex/host.hpp"
#include "orvex/modules.hpp"

namespace orvex {

namespace {

std::optional<int32_t> CheckedAdd(int32_t a, int32_t b) {
  int32_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) return std::nullopt;
  return sum;
}

}  // namespace

std::optional<int32_t> StyleForLanguage(int32_t buttons, const std::string& language) {
  if (language != "Arabic") return buttons;
  // Added, not combined: a style that already holds the right alignment carries into the next
  // bit, as the desktop component did.
  std::optional<int32_t> right = CheckedAdd(buttons, kStyleRight);
  if (!right) return std::nullopt;
  return CheckedAdd(*right, kStyleRtlReading);
}

GMessage::GMessage() { MMain::EnsureMain(); }

int32_t GMessage::ShowText(const std::string& MessageText, int32_t Buttons,
                           const std::string& Source, const std::string& Language,
                           const std::string& Helpfile, int32_t HelpContext) {
  int32_t style = StyleForLanguage(Buttons, Language).value_or(Buttons);
  try {
    return CurrentHost().ShowMessageBox(MessageText, style, Source, Helpfile, HelpContext);
  } catch (...) {
    return 0;
  }
}

}  // namespace orvex
