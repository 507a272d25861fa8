// The rows of a client-side record set: a row whose reading fails half-way is taken back whole,
// also where it would have opened a new block, and an index built earlier keeps up with the rows
// added after it.
#include "platform/data/row_store.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "orvex/data.hpp"

namespace orvex::data::internal {
namespace {

ColumnInfo Column(const std::string& name, int32_t type) {
  ColumnInfo column;
  column.name = name;
  column.type = type;
  return column;
}

class RowStoreTest : public ::testing::Test {
 protected:
  RowStore store_{{Column("ID", adInteger), Column("Text", adVarWChar)}};

  void AppendRow(int32_t id) {
    store_.AppendReadWith([id](std::vector<Variant>& block) {
      block.emplace_back(id);
      block.emplace_back("text " + std::to_string(id));
    });
  }
  // A row whose second value cannot be read.
  void AppendFailingRow() {
    EXPECT_THROW(store_.AppendReadWith([](std::vector<Variant>& block) {
      block.emplace_back(int32_t{-1});
      throw std::runtime_error("the second value could not be read");
    }),
                 std::runtime_error);
  }
  int64_t Find(int32_t id) {
    auto key = FindIndex::KeyOf(Variant(id), store_.IsNumericColumn(0));
    return store_.IndexFor(0).FindForward(*key, 0);
  }
};

TEST_F(RowStoreTest, AFailedRowLeavesNoTraceInTheBlocksOrTheIndex) {
  AppendFailingRow();  // the very first row, which opens the first block
  EXPECT_EQ(store_.RowCount(), 0);
  // A block holds 4,096 rows: the failures land inside a block and where one would open.
  for (int32_t id = 1; id <= 4096; ++id) {
    AppendRow(id);
    if (id == 100) AppendFailingRow();
  }
  AppendFailingRow();
  AppendRow(4097);
  ASSERT_EQ(store_.RowCount(), 4097);
  for (int64_t position : {int64_t{0}, int64_t{99}, int64_t{100}, int64_t{4095}, int64_t{4096}}) {
    SCOPED_TRACE(position);
    EXPECT_EQ(store_.Value(position, 0).I4(), position + 1);
    EXPECT_EQ(store_.Value(position, 1).Str(), "text " + std::to_string(position + 1));
  }

  EXPECT_EQ(Find(4097), 4096);  // builds the index
  AppendFailingRow();
  AppendRow(5000);
  EXPECT_EQ(Find(5000), 4097) << "a row added after the index was built is found";
  EXPECT_EQ(Find(-1), -1) << "nothing of a failed row is found";
  EXPECT_EQ(store_.Value(4097, 1).Str(), "text 5000");
}

}  // namespace
}  // namespace orvex::data::internal
