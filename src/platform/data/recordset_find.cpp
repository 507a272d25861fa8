// Recordset::Find: the criterion "<column>='value'" looked up through the column's index.
#include <regex>

#include "orvex/data.hpp"
#include "platform/data/connection_string.hpp"
#include "platform/data/errors.hpp"
#include "platform/data/recordset_state.hpp"

namespace orvex::data {

using internal::RaiseDataError;
using Place = internal::RecordsetState::Place;

namespace {

struct Criterion {
  std::string column;
  std::string value;
};

Criterion ParseCriterion(const std::string& text) {
  static const std::regex kEquals(
      R"(^\s*\[?([A-Za-z_][A-Za-z0-9_ ]*?)\]?\s*=\s*(?:'((?:[^']|'')*)'|([^'\s]+))\s*$)");
  std::smatch match;
  if (!std::regex_match(text, match, kEquals))
    RaiseDataError(adErrInvalidArgument, "Recordset",
                   "Find supports only criteria of the form column='value', not \"" + text + "\"");
  Criterion criterion{match[1].str(), match[2].matched ? match[2].str() : match[3].str()};
  if (match[2].matched) {
    std::string unquoted;
    for (size_t i = 0; i < criterion.value.size(); ++i) {
      unquoted += criterion.value[i];
      if (criterion.value[i] == '\'') ++i;  // '' stands for one quote
    }
    criterion.value = unquoted;
  }
  return criterion;
}

int32_t ColumnNamed(const internal::RowStore& store, const std::string& name) {
  const auto& columns = store.Columns();
  for (size_t i = 0; i < columns.size(); ++i)
    if (internal::EqualsIgnoreCase(columns[i].name, name)) return static_cast<int32_t>(i);
  RaiseDataError(adErrItemNotFound, "Recordset",
                 "Find names the column '" + name + "', which the record set does not have");
}

}  // namespace

void Recordset::Find(const std::string& criterion, int32_t skip, int32_t direction,
                     const Variant& start) {
  internal::RecordsetState& state = *state_;
  state.RequireOpen();
  if (direction != adSearchForward && direction != adSearchBackward)
    RaiseDataError(adErrInvalidArgument, "Recordset", "Find direction must be 1 or -1");
  Criterion parsed = ParseCriterion(criterion);
  int32_t column = ColumnNamed(*state.store, parsed.column);
  if (state.editMode != adEditNone) Update();

  int64_t last = state.store->RowCount() - 1;
  int64_t from = 0;
  if (!start.IsMissing()) {
    int32_t bookmark = CLng(start);
    if (bookmark == adBookmarkFirst)
      from = 0;
    else if (bookmark == adBookmarkLast)
      from = last;
    else if (bookmark != adBookmarkCurrent)
      RaiseDataError(adErrInvalidArgument, "Recordset", "Unknown Find start bookmark");
  }
  if (start.IsMissing() || CLng(start) == adBookmarkCurrent) {
    // Past the end in the search's direction nothing more can be found.
    if (direction == adSearchForward && state.place == Place::AfterLast) return;
    if (direction == adSearchBackward && state.place == Place::BeforeFirst) return;
    if (state.place == Place::OnRow)
      from = state.row;
    else
      from = state.place == Place::BeforeFirst ? 0 : last;
  }
  from += static_cast<int64_t>(skip) * direction;

  auto key =
      internal::FindIndex::KeyOf(Variant(parsed.value), state.store->IsNumericColumn(column));
  const internal::FindIndex& index = state.store->IndexFor(column);
  int64_t found = -1;
  if (key && from >= 0 && from <= last)
    found = direction == adSearchForward ? index.FindForward(*key, from)
                                         : index.FindBackward(*key, from);
  if (found >= 0)
    state.MoveTo(found);
  else
    state.place = direction == adSearchForward ? Place::AfterLast : Place::BeforeFirst;
}

}  // namespace orvex::data
