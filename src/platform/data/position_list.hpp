// The ascending positions of the rows that hold one key of a Find index.
#pragma once

#include <cstdint>
#include <vector>

namespace orvex::data::internal {

// The ascending positions of the rows holding one key. Most keys (IDs) have one row: it is kept in
// place, so that a lookup reads no second block of memory.
class PositionList {
 public:
  bool Empty() const { return first_ < 0; }
  bool Single() const { return first_ >= 0 && rest_.empty(); }
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

}  // namespace orvex::data::internal
