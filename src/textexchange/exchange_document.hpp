// What a translation file holds, whatever its format: the languages, and per ID the source text
// and the target text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvex::textexchange {

struct ExchangeUnit {
  std::string id;      // as the file writes it; the table's IDs are written in decimal
  std::string source;  // the text in the source language
  std::string target;  // the text in the target language; "" when untranslated
  // False when the file offers no translation: an empty target, or a PO entry marked fuzzy.
  // (An XLIFF state is workflow data that the table does not keep.)
  bool translated = false;
  int32_t line = 0;  // where the unit starts in the file, for messages
};

struct ExchangeDocument {
  // The language columns the file was made from and for; "" when a file does not name them.
  std::string sourceLanguage;
  std::string language;
  // What the texts belong to: the table's name, or the glossary's or rows file's name.
  std::string origin;
  std::vector<ExchangeUnit> units;
};

}  // namespace orvex::textexchange
