// PostgreSQL column types in the data-access type numbers, and result text as provider-neutral
// values.
#pragma once

#include <string>

#include "platform/data/provider.hpp"

namespace orvex::data::internal::postgres {

// Fills type, defined size, precision, numeric scale and the fixed/long attributes of `column`
// from the type's OID and its modifier (atttypmod: varchar(n) and bpchar(n) hold n + 4,
// numeric(p,s) holds ((p << 16) | s) + 4, -1 when none was given).
void DescribeColumnType(unsigned typeOid, int typeModifier, ColumnInfo& column);

// The value of a result cell in text format: integers and booleans as Integer, floating and
// money as Real, bytea decoded to Blob, timestamptz as local time, the rest as Text.
NativeValue ReadCell(unsigned typeOid, const char* text, int length);

// A timestamptz text ("2026-12-05 19:29:54.5+01", "...-05:30") as "YYYY-MM-DD HH:MM:SS" in the
// process's local time; the text unchanged when it does not read as one.
std::string ToLocalTimestamp(const std::string& text);

}  // namespace orvex::data::internal::postgres
