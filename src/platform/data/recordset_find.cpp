// Recordset::Find: the criterion "<column>='value'" looked up through the column's index.
#include <optional>
#include <string_view>

#include "orvex/data.hpp"
#include "platform/automation/ascii_case.hpp"
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

bool IsCriterionSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == ' '; }

// Reads "[column] = 'value'" (brackets optional, '' standing for one quote inside the quotes) or
// "column = value" (unquoted: no quotes, no blanks). Written out by hand rather than as a regular
// expression: the text tables call Find for every text they read.
std::optional<Criterion> ReadCriterion(std::string_view text) {
  size_t i = 0;
  auto skipSpaces = [&] {
    while (i < text.size() && IsCriterionSpace(text[i])) ++i;
  };
  skipSpaces();
  if (i < text.size() && text[i] == '[') ++i;
  if (i == text.size() || !IsNameStart(text[i])) return std::nullopt;
  size_t nameStart = i;
  while (i < text.size() && IsNameChar(text[i])) ++i;
  Criterion criterion;
  if (i < text.size() && text[i] == ']') {
    criterion.column = std::string(text.substr(nameStart, i - nameStart));
    ++i;
  } else {
    // Blanks after the name belong to the space before "=".
    size_t nameEnd = i;
    while (nameEnd > nameStart && text[nameEnd - 1] == ' ') --nameEnd;
    criterion.column = std::string(text.substr(nameStart, nameEnd - nameStart));
  }
  skipSpaces();
  if (i == text.size() || text[i] != '=') return std::nullopt;
  ++i;
  skipSpaces();
  if (i < text.size() && text[i] == '\'') {
    for (++i;; ++i) {
      if (i == text.size()) return std::nullopt;  // no closing quote
      if (text[i] == '\'') {
        if (i + 1 < text.size() && text[i + 1] == '\'') {
          criterion.value += '\'';
          ++i;
          continue;
        }
        ++i;
        break;
      }
      criterion.value += text[i];
    }
  } else {
    size_t valueStart = i;
    while (i < text.size() && text[i] != '\'' && !IsCriterionSpace(text[i])) ++i;
    if (i == valueStart) return std::nullopt;
    criterion.value = std::string(text.substr(valueStart, i - valueStart));
  }
  skipSpaces();
  if (i != text.size()) return std::nullopt;
  return criterion;
}

Criterion ParseCriterion(const std::string& text) {
  std::optional<Criterion> criterion = ReadCriterion(text);
  if (!criterion)
    RaiseDataError(adErrInvalidArgument, "Recordset",
                   "Find supports only criteria of the form column='value', not \"" + text + "\"");
  return *criterion;
}

int32_t FindColumn(const internal::RowStore& store, const std::string& name) {
  const auto& columns = store.Columns();
  for (size_t i = 0; i < columns.size(); ++i)
    if (ascii::EqualsIgnoringCase(columns[i].name, name)) return static_cast<int32_t>(i);
  return -1;
}

int32_t ColumnNamed(const internal::RowStore& store, const std::string& name) {
  const int32_t column = FindColumn(store, name);
  if (column < 0)
    RaiseDataError(adErrItemNotFound, "Recordset",
                   "Find names the column '" + name + "', which the record set does not have");
  return column;
}

// Commits a pending edit first, as every search does, so that the column's index holds it.
const internal::FindIndex& IndexToSearch(Recordset& recordset, internal::RecordsetState& state,
                                         int32_t column) {
  if (state.editMode != adEditNone) recordset.Update();
  return state.store->IndexFor(column);
}

// What a search for one value in one column looks in: the column's index, under the value's key
// (none: the value is never found).
struct Search {
  const internal::FindIndex* index;
  std::optional<internal::FindKey> key;
};

// A name is looked up before the edit is committed: a search naming no column changes nothing.
Search PrepareSearch(Recordset& recordset, internal::RecordsetState& state,
                     const std::string& columnName, const Variant& value) {
  const int32_t column = ColumnNamed(*state.store, columnName);
  const internal::FindIndex& index = IndexToSearch(recordset, state, column);
  return {&index, internal::FindIndex::KeyOf(value, state.store->IsNumericColumn(column))};
}

// From the current row (none is left past the end), then from the top: searchFrom(from) gives
// the position found or -1. A miss leaves the set past the end.
template <class SearchFrom>
bool MoveToWrapping(internal::RecordsetState& state, SearchFrom&& searchFrom) {
  const int64_t from = state.place == Place::OnRow         ? state.row
                       : state.place == Place::BeforeFirst ? 0
                                                           : state.store->RowCount();
  return state.LandSearch(searchFrom(from));
}

}  // namespace

void Recordset::Find(const std::string& criterion, int32_t skip, int32_t direction,
                     const Variant& start) {
  impl_->state->RequireOpen();
  if (direction != adSearchForward && direction != adSearchBackward)
    RaiseDataError(adErrInvalidArgument, "Recordset", "Find direction must be 1 or -1");
  Criterion parsed = ParseCriterion(criterion);
  FindValue(parsed.column, Variant(std::move(parsed.value)), skip, direction, start);
}

void Recordset::FindValue(const std::string& columnName, const Variant& value, int32_t skip,
                          int32_t direction, const Variant& start) {
  internal::RecordsetState& state = *impl_->state;
  state.RequireOpen();
  if (direction != adSearchForward && direction != adSearchBackward)
    RaiseDataError(adErrInvalidArgument, "Recordset", "Find direction must be 1 or -1");
  const Search search = PrepareSearch(*this, state, columnName, value);

  int64_t last = state.store->RowCount() - 1;
  int64_t from = 0;
  const int32_t bookmark = start.IsMissing() ? adBookmarkCurrent : CLng(start);
  if (bookmark == adBookmarkFirst)
    from = 0;
  else if (bookmark == adBookmarkLast)
    from = last;
  else if (bookmark != adBookmarkCurrent)
    RaiseDataError(adErrInvalidArgument, "Recordset", "Unknown Find start bookmark");
  if (bookmark == adBookmarkCurrent) {
    // Past the end in the search's direction nothing more can be found.
    if (direction == adSearchForward && state.place == Place::AfterLast) return;
    if (direction == adSearchBackward && state.place == Place::BeforeFirst) return;
    if (state.place == Place::OnRow)
      from = state.row;
    else
      from = state.place == Place::BeforeFirst ? 0 : last;
  }
  from += static_cast<int64_t>(skip) * direction;

  int64_t found = -1;
  if (search.key && from >= 0 && from <= last)
    found = direction == adSearchForward ? search.index->FindForward(*search.key, from)
                                         : search.index->FindBackward(*search.key, from);
  if (found >= 0)
    state.MoveTo(found);
  else
    state.place = direction == adSearchForward ? Place::AfterLast : Place::BeforeFirst;
}

bool Recordset::FindValueWrapping(const std::string& columnName, const Variant& value) {
  internal::RecordsetState& state = *impl_->state;
  state.RequireOpen();
  const Search search = PrepareSearch(*this, state, columnName, value);
  return MoveToWrapping(state, [&](int64_t from) {
    return search.key ? search.index->FindForwardWrapping(*search.key, from) : -1;
  });
}

}  // namespace orvex::data
