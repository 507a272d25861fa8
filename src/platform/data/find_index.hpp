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

class FindIndex {
 public:
  // The key under which a value is indexed (and looked up): numbers of a numeric column by
  // their numeric value (so 7, 7.0 and "7" meet), everything else by its text. Empty and Null
  // are not indexed.
  static std::optional<std::string> KeyOf(const Variant& value, bool numericColumn);

  void Add(int64_t position, const std::optional<std::string>& key);
  void Remove(int64_t position, const std::optional<std::string>& key);

  // The first position >= from holding the key, or -1.
  int64_t FindForward(const std::string& key, int64_t from) const;
  // The last position <= from holding the key, or -1.
  int64_t FindBackward(const std::string& key, int64_t from) const;

 private:
  std::unordered_map<std::string, std::vector<int64_t>> positions_;
};

}  // namespace orvex::data::internal
