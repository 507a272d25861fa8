#include "platform/data/position_list.hpp"

#include <algorithm>

namespace orvex::data::internal {

void PositionList::Add(int64_t position) {
  if (first_ < 0) {
    first_ = position;
  } else if (position < first_) {
    rest_.insert(rest_.begin(), first_);
    first_ = position;
  } else if (rest_.empty() || rest_.back() < position) {
    rest_.push_back(position);  // rows are appended at the end: the common case
  } else {
    rest_.insert(std::lower_bound(rest_.begin(), rest_.end(), position), position);
  }
}

void PositionList::Remove(int64_t position) {
  if (position == first_) {
    first_ = rest_.empty() ? -1 : rest_.front();
    if (!rest_.empty()) rest_.erase(rest_.begin());
    return;
  }
  auto at = std::lower_bound(rest_.begin(), rest_.end(), position);
  if (at != rest_.end() && *at == position) rest_.erase(at);
}

int64_t PositionList::FirstFrom(int64_t from) const {
  if (first_ < 0 || first_ >= from) return first_;
  auto at = std::lower_bound(rest_.begin(), rest_.end(), from);
  return at == rest_.end() ? -1 : *at;
}

int64_t PositionList::LastUpTo(int64_t from) const {
  auto at = std::upper_bound(rest_.begin(), rest_.end(), from);
  if (at != rest_.begin()) return *(at - 1);
  return first_ >= 0 && first_ <= from ? first_ : -1;
}

}  // namespace orvex::data::internal
