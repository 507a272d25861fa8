// XLIFF 1.2 and 2.0 documents of a table's texts, written through the document model and read
// with the streaming reader of the platform's XML layer.
//
// 1.2: <xliff version="1.2"> / <file source-language target-language datatype="plaintext"> /
// <body> / <trans-unit id xml:space="preserve"> / <source>, <target state>.
// 2.0: <xliff version="2.0" srcLang trgLang> / <file id> / <unit id> / <segment state> /
// <source xml:space="preserve">, <target xml:space="preserve">.
// The <file> element names the language columns in the attributes orvex:source-column and
// orvex:target-column (namespace urn:orvex:text-table).
#pragma once

#include <string>

#include "textexchange/exchange_document.hpp"

namespace orvex::textexchange {

enum class XliffVersion { V12, V20 };

// kErrExchangeTextUnfit for a character that XML cannot hold in 1.2 (2.0 writes a control
// character as <cp hex=".."/>; U+FFFE and U+FFFF are refused in both).
std::string WriteXliff(const ExchangeDocument& document, XliffVersion version);

// Reads a document of that version: the units with their source and target texts (the
// segments of a 2.0 unit joined in order, <cp> read as its character, the text inside other
// inline elements kept). A target is a translation when it is not empty; its state is workflow
// data that the table does not keep. kErrExchangeFileInvalid for a document that is not
// well-formed, of another version, or with a unit without id.
ExchangeDocument ReadXliff(const std::string& text, XliffVersion version);

}  // namespace orvex::textexchange
