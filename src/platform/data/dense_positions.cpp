#include "platform/data/dense_positions.hpp"

#include <algorithm>
#include <cmath>

namespace orvex::data::internal {

void DensePositions::Clear() {
  active_ = false;
  base_ = 0;
  slots_.clear();
  slots_.shrink_to_fit();
}

void DensePositions::Update(double number, const PositionList* list, size_t keyCount) {
  if (!active_) return;
  std::optional<int64_t> whole = WholeKey(number);
  if (!whole) return;
  bool empty = list == nullptr || list->Empty();
  int64_t offset = *whole - base_;
  if (offset < 0 || offset >= static_cast<int64_t>(slots_.size())) {
    if (empty) return;
    // Grow towards the key when the table stays affordable, else give up on it.
    int64_t low = std::min(base_, *whole);
    int64_t high = std::max(base_ + static_cast<int64_t>(slots_.size()) - 1, *whole);
    if (!Affordable(high - low + 1, keyCount)) return Clear();
    std::vector<int32_t> grown(static_cast<size_t>(high - low + 1), kAbsent);
    std::copy(slots_.begin(), slots_.end(), grown.begin() + (base_ - low));
    slots_ = std::move(grown);
    base_ = low;
    offset = *whole - base_;
  }
  int32_t& slot = slots_[static_cast<size_t>(offset)];
  if (empty) {
    slot = kAbsent;
  } else if (list->Single()) {
    int64_t position = list->FirstFrom(0);
    if (position > INT32_MAX) return Clear();
    slot = static_cast<int32_t>(position);
  } else {
    slot = kSeveral;
  }
}

}  // namespace orvex::data::internal
