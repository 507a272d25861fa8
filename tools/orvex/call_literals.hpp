// Typed argument literals of "orvex call": plain text is a String; "int:5" a Long, "short:5" an
// Integer, "double:1.5" a Double, "bool:true" a Boolean, "date:2026-01-31 10:00:00" a Date,
// "str:null" the text after the prefix, "null" Null, "missing" an omitted argument.
#pragma once

#include <string>

#include "orvex/variant.hpp"

namespace orvex::cli {

Variant ParseLiteral(const std::string& text);

// A value as the tool prints it: CStr for scalars, "Null", "Empty", "(object)", and the
// elements of an array in braces.
std::string DescribeValue(const Variant& value);

}  // namespace orvex::cli
