#include <gtest/gtest.h>

#include "orvex/variant.hpp"
#include "support/automation_matchers.hpp"

namespace orvex {
namespace {

TEST(SafeArray, UndimensionedHasNoBounds) {
  SafeArray array;
  EXPECT_FALSE(array.IsDimensioned());
  EXPECT_EQ(array.Dims(), 0);
  EXPECT_EQ(array.ElementTotal(), 0u);
  EXPECT_AUTOMATION_ERROR(array.LBound(), 9, "", "Subscript out of range");
  EXPECT_AUTOMATION_ERROR(array.UBound(), 9, "", "Subscript out of range");
  EXPECT_AUTOMATION_ERROR(array[0], 9, "", "");
}

TEST(SafeArray, ZeroAndOneBasedBoundsAreChecked) {
  SafeArray zeroBased(0, 3);
  EXPECT_EQ(zeroBased.LBound(), 0);
  EXPECT_EQ(zeroBased.UBound(), 2);
  zeroBased[2] = Variant("last");
  EXPECT_EQ(zeroBased[2].Str(), "last");
  EXPECT_AUTOMATION_ERROR(zeroBased[3], 9, "", "");
  EXPECT_AUTOMATION_ERROR(zeroBased[-1], 9, "", "");

  SafeArray oneBased = SafeArray::Of(1, {Variant(int32_t{10}), Variant(int32_t{20})});
  EXPECT_EQ(oneBased.LBound(), 1);
  EXPECT_EQ(oneBased.UBound(), 2);
  EXPECT_EQ(oneBased[1].I4(), 10);
  EXPECT_EQ(oneBased[2].I4(), 20);
  EXPECT_AUTOMATION_ERROR(oneBased[0], 9, "", "");
  EXPECT_AUTOMATION_ERROR(oneBased.LBound(2), 9, "", "");

  // An empty array of one dimension: UBound is one below LBound.
  SafeArray empty(0, 0);
  EXPECT_TRUE(empty.IsDimensioned());
  EXPECT_EQ(empty.UBound(), -1);
}

TEST(SafeArray, TwoDimensionsEachWithItsOwnBounds) {
  SafeArray grid({{1, 2}, {0, 3}});
  EXPECT_EQ(grid.Dims(), 2);
  EXPECT_EQ(grid.ElementTotal(), 6u);
  EXPECT_EQ(grid.LBound(1), 1);
  EXPECT_EQ(grid.UBound(1), 2);
  EXPECT_EQ(grid.LBound(2), 0);
  EXPECT_EQ(grid.UBound(2), 2);
  grid.At({2, 0}) = Variant(int32_t{20});
  grid.At({1, 2}) = Variant(int32_t{12});
  // The first index varies fastest in storage.
  EXPECT_EQ(grid.Elements()[1].I4(), 20);
  EXPECT_EQ(grid.Elements()[4].I4(), 12);
  EXPECT_AUTOMATION_ERROR(grid.At({3, 0}), 9, "", "");
  EXPECT_AUTOMATION_ERROR(grid.At({1, 3}), 9, "", "");
  EXPECT_AUTOMATION_ERROR(grid.At({1}), 9, "", "");
  EXPECT_AUTOMATION_ERROR(grid[1], 9, "", "");
  EXPECT_AUTOMATION_ERROR(grid.UBound(3), 9, "", "");
}

TEST(SafeArray, RedimKeepsElementsOnlyWhenPreserving) {
  SafeArray array = SafeArray::Of(0, {Variant("a"), Variant("b"), Variant("c")});
  array.Redim(0, 5, true);
  EXPECT_EQ(array.UBound(), 4);
  EXPECT_EQ(array[2].Str(), "c");
  EXPECT_TRUE(array[4].IsEmpty());
  array.Redim(1, 2, true);
  EXPECT_EQ(array[1].Str(), "a");
  EXPECT_EQ(array[2].Str(), "b");
  array.Redim(0, 2);
  EXPECT_TRUE(array[0].IsEmpty());
}

}  // namespace
}  // namespace orvex
