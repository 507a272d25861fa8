// Names shared by the files that implement CTextTable.
#pragma once

#include <string>

namespace orvex::texttables {

// The class name in the error sources of CTextTable.
inline constexpr const char* kTextTableClass = "ORVEX.CTextTable";
// The column alias under which the loaded language's texts are read and written.
// A string, not a literal: the record set takes names as strings, and a literal would build one
// on each use.
inline const std::string kTextColumn = "MultilingualString";

}  // namespace orvex::texttables
