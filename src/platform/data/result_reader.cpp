#include "platform/data/native_values.hpp"
#include "platform/data/recordset_state.hpp"

namespace orvex::data::internal {

std::shared_ptr<RowStore> RunStatement(Statement& statement, int32_t* recordsAffected) {
  statement.Execute();
  const std::vector<ColumnInfo>& columns = statement.Columns();
  if (recordsAffected != nullptr)
    *recordsAffected = columns.empty() ? static_cast<int32_t>(statement.RowsAffected()) : -1;
  if (columns.empty()) {
    statement.Reset();
    return nullptr;
  }
  auto store = std::make_shared<RowStore>(columns);
  std::vector<NativeValue> native;
  try {
    while (statement.NextRow(native)) {
      store->AppendReadWith([&](std::vector<Variant>& block) {
        for (size_t i = 0; i < columns.size(); ++i)
          AppendFromNative(block, std::move(native[i]), columns[i].type);
      });
    }
  } catch (...) {
    statement.Reset();
    throw;
  }
  statement.Reset();
  return store;
}

}  // namespace orvex::data::internal
