// The message box destination: a message of a text table by number, shown by the table, or a
// text shown in the library's own box (GMessage) or in the system's message box, all through
// the Host.
#pragma once

#include <cstdint>
#include <string>

#include "orvex/gmessage.hpp"
#include "orvex/variant.hpp"

namespace orvex {
class CTextTable;
}  // namespace orvex

namespace orvex::logging {

class MessageBoxSink {
 public:
  // Message `number` of the table, titled by source as CTextTable::Show reads it; the answer is
  // not used. Raises the table's failure.
  void ShowMessage(CTextTable& table, int16_t number, int32_t style, const Variant& source,
                   const std::string& helpFile, int32_t helpContext) const;
  // The text in the library's own box, laid out for English, titled source; the answer is not
  // used. Never raises.
  void ShowText(const std::string& text, int32_t style, const std::string& source,
                const std::string& helpFile, int32_t helpContext);
  // The prompt in the system's message box; returns the user's answer (1 to 7).
  int32_t Ask(const std::string& prompt, int32_t style, const std::string& caption,
              const std::string& helpFile, int32_t helpContext) const;

 private:
  GMessage message_;  // mobjMessage
};

}  // namespace orvex::logging
