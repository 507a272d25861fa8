#include "foundation/show_rule.hpp"

#include "foundation/error_path.hpp"
#include "orvex/automation_error.hpp"
#include "orvex/gmessage.hpp"
#include "orvex/host.hpp"

namespace orvex::foundation {

namespace {

std::string TitleFor(const std::function<std::string(int32_t)>& text, const Variant& Source) {
  if (Source.IsMissing()) return "";
  if (IsNumeric(Source)) return text(CLng(Source));
  return CStr(Source);
}

}  // namespace

int32_t ShowFromTable(const std::function<std::string(int32_t)>& text, const std::string& language,
                      int16_t MessageID, int32_t Buttons, const Variant& Source,
                      const std::string& Helpfile, int32_t HelpContext) {
  std::string prompt = text(MessageID);
  std::string title = TitleFor(text, Source);
  std::optional<int32_t> style = StyleForLanguage(Buttons, language);
  if (!style) Raise(errOverflow);
  return CurrentHost().ShowMessageBox(prompt, *style, title, Helpfile, HelpContext);
}

int32_t ShowFromTableAs(const std::string& className,
                        const std::function<std::string(int32_t)>& text,
                        const std::string& language, int16_t MessageID, int32_t Buttons,
                        const Variant& Source, const std::string& Helpfile, int32_t HelpContext) {
  try {
    return ShowFromTable(text, language, MessageID, Buttons, Source, Helpfile, HelpContext);
  } catch (...) {
    RaiseAgain(className, "Show");
  }
}

}  // namespace orvex::foundation
