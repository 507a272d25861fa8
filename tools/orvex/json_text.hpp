// JSON as the tool's --format json writes it.
#pragma once

#include <string>

namespace orvex::cli {

// The text as a JSON string, quotes included: '"' and '\' escaped, control characters as \uXXXX
// (\n, \r and \t by name); UTF-8 passes through unchanged.
std::string JsonString(const std::string& text);

}  // namespace orvex::cli
