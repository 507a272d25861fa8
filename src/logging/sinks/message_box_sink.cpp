#include "logging/sinks/message_box_sink.hpp"

#include "orvex/host.hpp"
#include "orvex/text_table.hpp"

namespace orvex::logging {

void MessageBoxSink::ShowMessage(CTextTable& table, int16_t number, int32_t style,
                                 const Variant& source, const std::string& helpFile,
                                 int32_t helpContext) const {
  table.Show(number, style, source, helpFile, helpContext);
}

void MessageBoxSink::ShowText(const std::string& text, int32_t style, const std::string& source,
                              const std::string& helpFile, int32_t helpContext) {
  message_.ShowText(text, style, source, "English", helpFile, helpContext);
}

int32_t MessageBoxSink::Ask(const std::string& prompt, int32_t style, const std::string& caption,
                            const std::string& helpFile, int32_t helpContext) const {
  return CurrentHost().ShowMessageBox(prompt, style, caption, helpFile, helpContext);
}

}  // namespace orvex::logging
