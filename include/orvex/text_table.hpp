// CTextTable: the texts of one language from a database table of multilingual strings, read by
// numeric ID; also the interface through which the loggers read and show texts.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "orvex/export.h"
#include "orvex/variant.hpp"

ORVEX_PUBLIC_BEGIN

namespace orvex {

class CTextTable : public Object {
 public:
  CTextTable();
  ~CTextTable() override;

  std::string Helpfile;
  int32_t HelpContext = 0;

  // Stores the connection string that the next call opening a connection uses.
  void ConnectingString(const std::string& connectingString);
  // Loads the texts of Language ("English" when empty) from TableName, or takes them from the
  // object's per-language cache.
  void LoadStringsRS(const std::string& TableName, const std::string& Language = "",
                     bool ReadOnly = true);
  // Reads and writes one text of any language in the table "LanguageStrings" directly.
  std::string TextE(const std::string& Language, int32_t ID);
  void TextE(const std::string& Language, int32_t ID, const std::string& New_Text);
  // The text of ID in the loaded language; "" for an absent ID or any failure. Never raises.
  virtual std::string Text(int32_t ID);
  // Changes the text of ID in the database table, then unloads the table.
  void Text(int32_t ID, const std::string& New_Text);
  // Adds a row with the text; the database supplies its ID. Unloads the table. Returns 0.
  int16_t AddNew(const std::string& New_Text);
  // Shows Text(MessageID) in a message box; Source (a number: the text of that ID; otherwise the
  // text itself) is the title. Right to left when the loaded language is "Arabic".
  virtual int32_t Show(int16_t MessageID, int32_t Buttons = 0,
                       const Variant& Source = Variant::Missing(), const std::string& Helpfile = "",
                       int32_t HelpContext = 0);

 protected:
  // The language of the last LoadStringsRS ("" before the first).
  const std::string& Language() const;

 private:
  struct ORVEX_LIBRARY_ONLY Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace orvex

ORVEX_PUBLIC_END
