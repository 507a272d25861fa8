// CTextTable2: the reading half of CTextTable over an XML glossary document, whose elements
// "Glossary" carry an "ID" attribute and one attribute per language. The document is streamed
// once per language into a dictionary from ID text to text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "orvex/export.h"
#include "orvex/variant.hpp"

ORVEX_PUBLIC_BEGIN

namespace orvex {

class CTextTable2 : public Object {
 public:
  CTextTable2();
  ~CTextTable2() override;

  std::string Helpfile;
  int32_t HelpContext = 0;

  // The path or file: URL of the glossary document.
  void ConnectingString(const std::string& connectingString);
  // Reads the glossary of Language ("English" when empty), or takes this object's dictionary for
  // that language from an earlier load (also one that a failed parse left incomplete).
  // TableName and ReadOnly are not used.
  void LoadStringsRS(const std::string& TableName, const std::string& Language = "",
                     bool ReadOnly = true);
  // The text of the element whose ID attribute reads exactly as ID in decimal; "" when absent
  // or before a load. Never raises.
  std::string Text(int32_t ID);
  // Shows Text(MessageID) in a message box, right to left when the language is "Arabic".
  int32_t Show(int16_t MessageID, int32_t Buttons = 0, const Variant& Source = Variant::Missing(),
               const std::string& Helpfile = "", int32_t HelpContext = 0);

 private:
  struct ORVEX_LIBRARY_ONLY Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace orvex

ORVEX_PUBLIC_END
