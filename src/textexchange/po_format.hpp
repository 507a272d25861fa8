// gettext PO files, written and read by gettext's own rules: one entry per ID with msgctxt the
// ID, msgid the source text and msgstr the target text; C escapes; strings folded as gettext
// folds them (after each "\n" and at spaces before column 79); a header entry with the language.
#pragma once

#include <string>

#include "orvex/date.hpp"
#include "textexchange/exchange_document.hpp"

namespace orvex::textexchange {

// The header names the target language by its tag (Language), the columns in
// X-ORVEX-Source-Language and X-ORVEX-Language, and the file's creation time (local, with the
// zone offset utcOffsetMinutes).
std::string WritePo(const ExchangeDocument& document, const Date& created,
                    int32_t utcOffsetMinutes);

// Reads entries, the header's charset (UTF-8 only) and the X-ORVEX- columns. Obsolete entries
// (#~) are passed over; an entry with plural forms, a second header, a string outside an entry
// or a broken escape is refused with kErrExchangeFileInvalid and the line.
ExchangeDocument ReadPo(const std::string& text);

}  // namespace orvex::textexchange
