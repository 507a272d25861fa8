// What the files that implement CTextTable share: its state and names.
#pragma once

#include <memory>
#include <string>

#include "orvex/data.hpp"
#include "orvex/text_table.hpp"
#include "texttables/loaded_languages.hpp"

namespace orvex {

struct CTextTable::Impl : texttables::LoadedLanguages<data::Recordset> {
  std::shared_ptr<data::Recordset> mrsStrings;

  // A new connection opened on mstrConnectingString.
  std::shared_ptr<data::Connection> OpenConnection() const;
};

}  // namespace orvex

namespace orvex::texttables {

// The class name in the error sources of CTextTable.
inline constexpr const char* kTextTableClass = "ORVEX.CTextTable";
// The column alias under which the loaded language's texts are read and written.
// A string, not a literal: the record set takes names as strings, and a literal would build one
// on each use.
inline const std::string kTextColumn = "MultilingualString";

}  // namespace orvex::texttables
