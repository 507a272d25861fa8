// Names of tables and columns that callers give, checked before any statement carries them.
// A statement is built from such a name as it stands, so only text that the database can read
// as nothing but a name is let through.
#pragma once

#include <string>

namespace orvex::data::internal {

// True for a name: a plain identifier (ASCII letters, digits and "_", not starting with a digit;
// bytes of non-ASCII letters count as letters) or a double-quoted identifier holding no double
// quote and no control character, alone or as "schema.name".
bool IsSqlName(const std::string& text);

// Raises adErrInvalidArgument (source "ORVEX.Data.Name") when `text` is not a name; the
// description names `argument` and says what a name may hold.
void RequireSqlName(const std::string& text, const std::string& argument);

// A name that the database itself gave (a discovered column, a base table), in double quotes
// with any double quote inside doubled, so that any name the database can hold stays one name.
// Every provider reads identifiers quoted so.
std::string QuoteIdentifier(const std::string& name);

}  // namespace orvex::data::internal
