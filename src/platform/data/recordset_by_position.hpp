// A record set's columns by position, for code in the library that reads one set many times
// over (the text tables): a name is looked up once, not on every search and read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "orvex/variant.hpp"
#include "platform/data/recordset_state.hpp"

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

// FindValueWrapping(rows, idColumn, id) then CurrentValue(rows, valueColumn), in one inline step
// for the search that the ID column's built index settles at once (a whole number on one row or
// on none) in a set with no edit waiting: the value on the row found, which is made current, or
// null when no row holds the number (the set is then past its last row), as the two steps would
// leave it. Empty when it cannot settle the search here: nothing has been done, and the caller
// takes the two steps, which raise what they must.
inline std::optional<const Variant*> SettledFindAndRead(Recordset& rows, int32_t idColumn,
                                                        int32_t valueColumn, int32_t id) {
  RecordsetState& state = RecordsetAccess::StateOf(rows);
  if (!state.open || state.editMode != adEditNone || !state.pending.empty()) return std::nullopt;
  if (!state.HasColumn(idColumn) || !state.HasColumn(valueColumn)) return std::nullopt;
  const RowStore& store = *state.store;
  if (!store.IsNumericColumn(idColumn)) return std::nullopt;
  const FindIndex* index = store.IndexIfBuilt(idColumn);
  if (index == nullptr) return std::nullopt;
  const std::optional<int32_t> position = index->SettledWhole(id);
  if (!position || *position >= store.RowCount()) return std::nullopt;
  if (!state.LandSearch(*position)) return nullptr;
  return &store.Value(*position, valueColumn);
}

}  // namespace orvex::data::internal
