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

// The ascending positions of the rows holding one key. Most keys (IDs) have one row: it is kept in
// place, so that a lookup reads no second block of memory.
class PositionList {
 public:
  bool Empty() const { return first_ < 0; }
  void Add(int64_t position);
  void Remove(int64_t position);
  // The first position >= from, or -1.
  int64_t FirstFrom(int64_t from) const;
  // The last position <= from, or -1.
  int64_t LastUpTo(int64_t from) const;

 private:
  int64_t first_ = -1;
  std::vector<int64_t> rest_;  // ascending, all after first_
};

class FindIndex {
 public:
  // The key under which a value is indexed (and looked up): in a numeric column every value
  // that reads as a number by its numeric value (so 7, 7.0 and "7" meet); everything else by its
  // text. Empty, Null and not-a-number are not indexed.
  static std::optional<FindKey> KeyOf(const Variant& value, bool numericColumn);

  void Add(int64_t position, const std::optional<FindKey>& key);
  void Remove(int64_t position, const std::optional<FindKey>& key);

  // The first position >= from holding the key, or -1.
  int64_t FindForward(const FindKey& key, int64_t from) const;
  // The last position <= from holding the key, or -1.
  int64_t FindBackward(const FindKey& key, int64_t from) const;

 private:
  using Positions = PositionList;
  Positions* PositionsOf(const FindKey& key);
  const Positions* PositionsOf(const FindKey& key) const;

  std::unordered_map<double, Positions, NumberKeyHash> numbers_;
  std::unordered_map<std::string, Positions> texts_;
};

}  // namespace orvex::data::internal
