// Dialect helpers shared by providers whose SQL lacks what the classes send.
#pragma once

#include <string>

namespace orvex::data::internal {

// "SELECT TOP n rest" becomes "SELECT rest LIMIT n" (a trailing ";" is kept out of the way);
// any other text is returned unchanged.
std::string TranslateTopToLimit(const std::string& sql);

// True when `text` holds only blanks, ";" and SQL comments ("-- ..." and "/* ... */").
bool IsOnlyBlankOrComments(const std::string& text);

}  // namespace orvex::data::internal
