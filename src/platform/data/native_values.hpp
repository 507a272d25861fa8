// Conversion between Variants and provider-neutral values, driven by the data-access type of
// the column or parameter. Shared by every provider so that the same column type gives the same
// Variant subtype whatever the database.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orvex/variant.hpp"
#include "platform/data/provider.hpp"

namespace orvex::data::internal {

// The value to send for a parameter or column of the given type. Empty, Null and Missing give
// Null. Raises the runtime's conversion error (13, 6 ...) when the value does not convert.
NativeValue ToNative(const Variant& value, int32_t adoType);

// The Variant of a stored value read from a column of the given type. A stored value that does
// not read as the type (possible in SQLite) comes back as it was stored.
Variant FromNative(const NativeValue& value, int32_t adoType);
// The same, moving a text into the variant instead of copying it.
Variant FromNative(NativeValue&& value, int32_t adoType);
// The same, appended to a row: texts and whole numbers, which nearly every loaded table is made
// of, are built in their place at the row's end.
void AppendFromNative(std::vector<Variant>& row, NativeValue&& value, int32_t adoType);

// Dates travel as ISO-8601 text: "YYYY-MM-DD HH:MM:SS" (adDate, adDBTimeStamp), "YYYY-MM-DD"
// (adDBDate), "HH:MM:SS" (adDBTime).
std::string FormatIsoDate(Date value, int32_t adoType);
// Reads "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS[.fff]]" (or with "T"), or "HH:MM[:SS]".
std::optional<Date> ParseIsoDate(std::string_view text);

bool IsDateType(int32_t adoType);
bool IsTextType(int32_t adoType);
bool IsIntegerType(int32_t adoType);
bool IsNumericType(int32_t adoType);  // every integer, real, currency and decimal type

}  // namespace orvex::data::internal
