// Names shared by the files that implement CTextTable.
#pragma once

namespace orvex::texttables {

// The class name in the error sources of CTextTable.
inline constexpr const char* kTextTableClass = "ORVEX.CTextTable";
// The column alias under which the loaded language's texts are read and written.
inline constexpr const char* kTextColumn = "MultilingualString";

}  // namespace orvex::texttables
