// Whole-number keys that run densely, as IDs do, are also found through a table indexed by the
// number itself: a lookup then reads one entry of a small array instead of a hash table's
// bucket and node, which matters when rows are looked up in no particular order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/data/position_list.hpp"

namespace orvex::data::internal {

class DensePositions {
 public:
  static constexpr int32_t kAbsent = -1;
  static constexpr int32_t kSeveral = -2;  // more than one row: ask the full list

  // Covers the whole-number keys of `numbers` when they run densely enough; else stays off.
  template <class Map>
  void Build(const Map& numbers) {
    Clear();
    std::optional<int64_t> low, high;
    for (const auto& [number, list] : numbers) {
      std::optional<int64_t> whole = WholeKey(number);
      if (!whole) continue;
      low = low ? std::min(*low, *whole) : *whole;
      high = high ? std::max(*high, *whole) : *whole;
    }
    if (!low || !Affordable(*high - *low + 1, numbers.size())) return;
    active_ = true;
    base_ = *low;
    slots_.assign(static_cast<size_t>(*high - *low + 1), kAbsent);
    for (const auto& [number, list] : numbers)
      if (WholeKey(number)) Update(number, &list, numbers.size());
  }

  // The entry for the key: kAbsent, kSeveral or the one position; empty when the table does not
  // cover the key (then the hash table answers).
  std::optional<int32_t> Lookup(double number) const {
    std::optional<int64_t> whole = WholeKey(number);
    return whole ? LookupWhole(*whole) : std::nullopt;
  }
  // The same for a key that is a whole number.
  std::optional<int32_t> LookupWhole(int64_t whole) const {
    if (!active_ || whole < base_ || whole - base_ >= static_cast<int64_t>(slots_.size()))
      return std::nullopt;
    return slots_[static_cast<size_t>(whole - base_)];
  }

  // Records the key's positions after a change (null: none left); turns the table off when it
  // cannot cover the key affordably.
  void Update(double number, const PositionList* list, size_t keyCount);

 private:
  static std::optional<int64_t> WholeKey(double number) {
    if (!(number >= -4e15 && number <= 4e15)) return std::nullopt;
    auto whole = static_cast<int64_t>(number);
    if (static_cast<double>(whole) != number) return std::nullopt;
    return whole;
  }
  // A table of `span` entries for `keyCount` keys is worth keeping.
  static bool Affordable(int64_t span, size_t keyCount) {
    return span > 0 && span <= 2 * static_cast<int64_t>(keyCount) + 1024;
  }
  void Clear();

  bool active_ = false;
  int64_t base_ = 0;
  std::vector<int32_t> slots_;
};

}  // namespace orvex::data::internal
