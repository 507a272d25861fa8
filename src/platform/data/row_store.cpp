#include "platform/data/row_store.hpp"

#include "platform/data/native_values.hpp"

namespace orvex::data::internal {

RowStore::RowStore(std::vector<ColumnInfo> columns)
    : columns_(std::move(columns)), numeric_(columns_.size()) {
  for (size_t column = 0; column < columns_.size(); ++column)
    numeric_[column] = IsNumericType(columns_[column].type);
}

std::vector<Variant>& RowStore::BlockForNextRow() {
  if ((rowCount_ & (kRowsPerBlock - 1)) == 0) {
    blocks_.emplace_back();
    // Most sets are small: the first block grows as rows come; later ones are made whole.
    if (blocks_.size() > 1)
      blocks_.back().reserve(static_cast<size_t>(kRowsPerBlock) * columns_.size());
  }
  return blocks_.back();
}

int64_t RowStore::AppendNew() {
  std::vector<Variant>& block = BlockForNextRow();
  block.resize(block.size() + columns_.size(), Variant::Null());
  IndexRow(rowCount_++);
  return rowCount_ - 1;
}

void RowStore::AddToIndexes(int64_t position) {
  for (size_t column = 0; column < indexes_.size(); ++column) {
    if (!indexes_[column]) continue;
    auto at = static_cast<int32_t>(column);
    indexes_[column]->Add(position, FindIndex::KeyOf(Value(position, at), IsNumericColumn(at)));
  }
}

void RowStore::RemoveLast() {
  if (rowCount_ == 0) return;
  int64_t position = rowCount_ - 1;
  for (size_t column = 0; column < indexes_.size(); ++column) {
    if (!indexes_[column]) continue;
    auto at = static_cast<int32_t>(column);
    indexes_[column]->Remove(position, FindIndex::KeyOf(Value(position, at), IsNumericColumn(at)));
  }
  std::vector<Variant>& block = blocks_.back();
  block.resize(block.size() - columns_.size());
  if (block.empty()) blocks_.pop_back();
  --rowCount_;
}

void RowStore::SetValue(int64_t position, int32_t column, const Variant& value) {
  Variant& slot = Cell(position, column);
  if (FindIndex* index = BuiltIndex(column)) {
    bool numeric = IsNumericColumn(column);
    index->Remove(position, FindIndex::KeyOf(slot, numeric));
    index->Add(position, FindIndex::KeyOf(value, numeric));
  }
  slot = value;
}

const FindIndex& RowStore::BuildIndex(int32_t column) {
  // The first index built gives every column its place.
  if (indexes_.empty()) indexes_.resize(columns_.size());
  std::unique_ptr<FindIndex>& index = indexes_[static_cast<size_t>(column)];
  auto built = std::make_unique<FindIndex>();
  bool numeric = IsNumericColumn(column);
  for (int64_t position = 0; position < rowCount_; ++position)
    built->Add(position, FindIndex::KeyOf(Value(position, column), numeric));
  built->Finish();
  index = std::move(built);
  return *index;
}

}  // namespace orvex::data::internal
