// The index behind Recordset::Find: each key value maps to the ascending positions of the rows
// holding it, so that a lookup costs O(1) plus a binary search among equal keys, while giving
// the row a linear search from a given position would reach.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "orvex/variant.hpp"
#include "platform/data/dense_positions.hpp"
#include "platform/data/position_list.hpp"

namespace orvex::data::internal {

// A value as the index compares it: a number, or a text.
struct FindKey {
  bool isNumber = false;
  double number = 0;
  std::string text;
};

// Whole numbers hash to themselves, as integers do in a hash map: IDs asked in order then touch
// the table in order.
struct NumberKeyHash {
  size_t operator()(double number) const noexcept {
    if (number >= -9.2e18 && number <= 9.2e18 &&
        static_cast<double>(static_cast<int64_t>(number)) == number)
      return static_cast<size_t>(static_cast<int64_t>(number));
    return std::hash<double>()(number);
  }
};

class FindIndex {
 public:
  // The key under which a value is indexed (and looked up): in a numeric column every value
  // that reads as a number by its numeric value (so 7, 7.0 and "7" meet); everything else by its
  // text. Empty, Null and not-a-number are not indexed.
  static std::optional<FindKey> KeyOf(const Variant& value, bool numericColumn);

  void Add(int64_t position, const std::optional<FindKey>& key);
  // Every row is in: whole-number keys that run densely get their direct table.
  void Finish() { dense_.Build(numbers_); }
  void Remove(int64_t position, const std::optional<FindKey>& key);

  // The first position >= from holding the key, or -1.
  int64_t FindForward(const FindKey& key, int64_t from) const;
  // The last position <= from holding the key, or -1.
  int64_t FindBackward(const FindKey& key, int64_t from) const;
  // The first position >= from holding the key, else the first of all; -1 when none holds it.
  // One look-up of the key where a search and its wrap to the top would make two.
  int64_t FindForwardWrapping(const FindKey& key, int64_t from) const;

 private:
  using Positions = PositionList;
  // The key's entry in the direct table when it settles the search: its one position, or
  // kAbsent; empty when the table does not cover the key or the key is on several rows.
  std::optional<int32_t> DirectEntry(const FindKey& key) const {
    if (!key.isNumber) return std::nullopt;
    return Settling(dense_.Lookup(key.number));
  }
  // The direct table's entry when it settles a search (empty for a key on several rows).
  static std::optional<int32_t> Settling(std::optional<int32_t> slot) {
    if (slot && *slot == DensePositions::kSeveral) return std::nullopt;
    return slot;
  }
  Positions* PositionsOf(const FindKey& key);
  const Positions* PositionsOf(const FindKey& key) const;

  std::unordered_map<double, Positions, NumberKeyHash> numbers_;
  std::unordered_map<std::string, Positions> texts_;
  DensePositions dense_;
};

}  // namespace orvex::data::internal
