// CTextTable3: a multilingual string table kept in a file of saved record-set rows (an "ID"
// column and one text column per language), read by ID in one language, edited and added to in
// memory, and written back to the same file by Save.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "orvex/export.h"
#include "orvex/variant.hpp"

ORVEX_PUBLIC_BEGIN

namespace orvex {

class CTextTable3 : public Object {
 public:
  CTextTable3();
  ~CTextTable3() override;

  std::string Helpfile;
  int32_t HelpContext = 0;

  // The path of the saved-rows file that LoadStringsRS reads and Save replaces.
  void ConnectingString(const std::string& connectingString);
  // Loads the file's rows for Language ("English" when empty), or takes this object's own copy
  // for that language from an earlier load, with the changes made through it. TableName is not
  // used. ReadOnly is recorded on every call and alone decides whether edits and Save may act.
  void LoadStringsRS(const std::string& TableName, const std::string& Language = "",
                     bool ReadOnly = true);
  // The text of ID in the language's column; "" for an absent ID or any failure. Never raises.
  std::string Text(int32_t ID);
  // Changes the text of ID in the loaded rows (the file changes only at Save). Raises the
  // non-severe component error 20000 on read-only rows, 20001 when the ID is absent.
  void Text(int32_t ID, const std::string& New_Text);
  // Adds a row holding only the text in the language's column (its ID stays empty). Returns 0.
  int32_t AddNew(const std::string& New_Text);
  // Shows Text(MessageID) in a message box, right to left when the language is "Arabic".
  int32_t Show(int16_t MessageID, int32_t Buttons = 0, const Variant& Source = Variant::Missing(),
               const std::string& Helpfile = "", int32_t HelpContext = 0);
  // Replaces the file with every column of the loaded rows; does nothing on read-only rows.
  void Save();

 private:
  struct ORVEX_LIBRARY_ONLY Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace orvex

ORVEX_PUBLIC_END
