// The lookup by ID shared by the record-set text tables: a forward search from the current row,
// with one wrap to the top, that leaves the match current for the next lookup.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace orvex::data {
class Recordset;
}  // namespace orvex::data

namespace orvex::texttables {

// The column that holds the IDs.
inline const std::string kIdColumn = "ID";

// The criterion "ID='n'", n in decimal with a leading "-" when negative.
std::string IdCriterion(int32_t ID);

// Makes the row of ID current and returns true, or returns false when the rows hold no such ID.
// Never raises: a failing step is passed over, and a set that cannot answer where its cursor
// stands (none loaded, closed) counts as holding no such ID.
bool FindWithWrap(const std::shared_ptr<data::Recordset>& rows, int32_t ID) noexcept;

// The text in `column` of the row of ID, found as FindWithWrap finds it; "" for an absent ID or
// any failure (no rows, no such column, a value that has no text). Never raises.
std::string TextOfId(const std::shared_ptr<data::Recordset>& rows, int32_t ID,
                     const std::string& column) noexcept;

}  // namespace orvex::texttables
