// A record set's columns by position, for code in the library that reads one set many times
// over (the text tables): a name is looked up once, not on every search and read.
#pragma once

#include <cstdint>
#include <string>

#include "orvex/variant.hpp"

namespace orvex::data {
class Recordset;
}  // namespace orvex::data

namespace orvex::data::internal {

// The position of the first column called `name` (any case), as a name is looked up by Find and
// Fields; -1 when the set has none. A closed set raises adErrObjectClosed.
int32_t ColumnPosition(const Recordset& rows, const std::string& name);

// FindValueWrapping of the whole number `value` (as a Long) in the column at `column`, with the
// same effect on the set and the same errors, a column out of range raising adErrItemNotFound.
bool FindValueWrapping(Recordset& rows, int32_t column, int32_t value);

// What Field::Value of the column at `column` gives, with the same errors and adErrItemNotFound
// for a column out of range, without copying it: valid until the set moves or changes.
const Variant& CurrentValue(const Recordset& rows, int32_t column);

}  // namespace orvex::data::internal
