// Column descriptions from SQLite's declared types, in the data-access type numbers.
#pragma once

#include <string>

#include "platform/data/provider.hpp"

namespace orvex::data::internal::sqlite {

// Fills type, defined size, precision, numeric scale and the fixed/long attributes of `column`
// from a declared type such as "VARCHAR(10)" or "DECIMAL(9,2)". An empty declared type (a
// computed column) gives adVariant.
void DescribeDeclaredType(const std::string& declaredType, ColumnInfo& column);

}  // namespace orvex::data::internal::sqlite
