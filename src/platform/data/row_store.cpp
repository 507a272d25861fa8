#include "platform/data/row_store.hpp"

#include "platform/data/value_conversion.hpp"

namespace orvex::data::internal {

void RowStore::AppendRead(std::vector<Variant> values) {
  int64_t position = RowCount();
  for (auto& [column, index] : indexes_)
    index.Add(position, FindIndex::KeyOf(values[column], IsNumericColumn(column)));
  Row row;
  row.original = values;
  row.values = std::move(values);
  rows_.push_back(std::move(row));
}

int64_t RowStore::AppendNew() {
  Row row;
  row.values.assign(columns_.size(), Variant::Null());
  row.original = row.values;
  row.isNew = true;
  rows_.push_back(std::move(row));
  return RowCount() - 1;
}

void RowStore::RemoveLast() {
  if (rows_.empty()) return;
  int64_t position = RowCount() - 1;
  for (auto& [column, index] : indexes_)
    index.Remove(position, FindIndex::KeyOf(rows_.back().values[column], IsNumericColumn(column)));
  rows_.pop_back();
}

void RowStore::SetValue(int64_t position, int32_t column, const Variant& value) {
  Variant& slot = rows_[static_cast<size_t>(position)].values[static_cast<size_t>(column)];
  auto index = indexes_.find(column);
  if (index != indexes_.end()) {
    bool numeric = IsNumericColumn(column);
    index->second.Remove(position, FindIndex::KeyOf(slot, numeric));
    index->second.Add(position, FindIndex::KeyOf(value, numeric));
  }
  slot = value;
}

void RowStore::MarkCommitted(int64_t position) {
  Row& row = rows_[static_cast<size_t>(position)];
  row.original = row.values;
  row.isNew = false;
}

const FindIndex& RowStore::IndexFor(int32_t column) {
  auto found = indexes_.find(column);
  if (found != indexes_.end()) return found->second;
  FindIndex& index = indexes_[column];
  bool numeric = IsNumericColumn(column);
  for (int64_t position = 0; position < RowCount(); ++position)
    index.Add(position, FindIndex::KeyOf(rows_[position].values[column], numeric));
  return index;
}

bool RowStore::IsNumericColumn(int32_t column) const {
  return IsNumericType(columns_[static_cast<size_t>(column)].type);
}

}  // namespace orvex::data::internal
