// The Show rule shared by the three text tables: the prompt and (for a numeric Source) the title
// come from the table itself; the style follows the table's language.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "orvex/variant.hpp"

namespace orvex::foundation {

// Raises every failure (an overflowing style or title number: error 6; a failed display); the
// caller passes it on through its error path with the procedure name "Show".
int32_t ShowFromTable(const std::function<std::string(int32_t)>& text, const std::string& language,
                      int16_t MessageID, int32_t Buttons, const Variant& Source,
                      const std::string& Helpfile, int32_t HelpContext);

// A text table's Show: the same, with every failure raised again through the error path of
// className's procedure "Show".
int32_t ShowFromTableAs(const std::string& className,
                        const std::function<std::string(int32_t)>& text,
                        const std::string& language, int16_t MessageID, int32_t Buttons,
                        const Variant& Source, const std::string& Helpfile, int32_t HelpContext);

}  // namespace orvex::foundation
