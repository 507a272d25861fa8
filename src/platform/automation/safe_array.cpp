#include <algorithm>
#include <utility>

#include "orvex/automation_error.hpp"
#include "orvex/variant.hpp"

namespace orvex {

namespace {

size_t TotalOf(const std::vector<SafeArray::Bound>& bounds) {
  if (bounds.empty()) return 0;
  size_t total = 1;
  for (const SafeArray::Bound& bound : bounds) {
    if (bound.count < 0) Raise(errSubscriptOutOfRange);
    total *= static_cast<size_t>(bound.count);
  }
  return total;
}

}  // namespace

SafeArray::SafeArray() : data_(std::make_unique<std::vector<Variant>>()) {}

SafeArray::SafeArray(int32_t lowerBound, int32_t count)
    : SafeArray(std::vector<Bound>{Bound{lowerBound, count}}) {}

SafeArray::SafeArray(std::vector<Bound> bounds)
    : bounds_(std::move(bounds)), data_(std::make_unique<std::vector<Variant>>(TotalOf(bounds_))) {}

SafeArray SafeArray::Of(int32_t lowerBound, std::vector<Variant> values) {
  SafeArray array;
  array.bounds_.push_back(Bound{lowerBound, static_cast<int32_t>(values.size())});
  *array.data_ = std::move(values);
  return array;
}

SafeArray::SafeArray(const SafeArray& other)
    : bounds_(other.bounds_),
      data_(std::make_unique<std::vector<Variant>>(*other.data_)),
      elementType_(other.elementType_) {}

SafeArray::SafeArray(SafeArray&& other) noexcept
    : bounds_(std::move(other.bounds_)),
      data_(std::exchange(other.data_, nullptr)),
      elementType_(other.elementType_) {
  // A moved-from array stays usable as an undimensioned one.
  other.bounds_.clear();
  try {
    other.data_ = std::make_unique<std::vector<Variant>>();
  } catch (...) {
  }
}

SafeArray& SafeArray::operator=(const SafeArray& other) {
  if (this != &other) {
    SafeArray copy(other);
    *this = std::move(copy);
  }
  return *this;
}

SafeArray& SafeArray::operator=(SafeArray&& other) noexcept {
  if (this != &other) {
    std::swap(bounds_, other.bounds_);
    std::swap(data_, other.data_);
    std::swap(elementType_, other.elementType_);
  }
  return *this;
}

SafeArray::~SafeArray() = default;

int32_t SafeArray::LBound(int32_t dim) const {
  if (dim < 1 || dim > Dims()) Raise(errSubscriptOutOfRange);
  return bounds_[static_cast<size_t>(dim - 1)].lower;
}

int32_t SafeArray::UBound(int32_t dim) const {
  if (dim < 1 || dim > Dims()) Raise(errSubscriptOutOfRange);
  const Bound& bound = bounds_[static_cast<size_t>(dim - 1)];
  return static_cast<int32_t>(static_cast<int64_t>(bound.lower) + bound.count - 1);
}

size_t SafeArray::ElementTotal() const { return data_ ? data_->size() : 0; }

size_t SafeArray::Offset(const std::vector<int32_t>& indexes) const {
  if (indexes.size() != bounds_.size() || bounds_.empty()) Raise(errSubscriptOutOfRange);
  size_t offset = 0;
  size_t stride = 1;
  for (size_t dim = 0; dim < bounds_.size(); ++dim) {
    const int64_t position = static_cast<int64_t>(indexes[dim]) - bounds_[dim].lower;
    if (position < 0 || position >= bounds_[dim].count) Raise(errSubscriptOutOfRange);
    offset += static_cast<size_t>(position) * stride;
    stride *= static_cast<size_t>(bounds_[dim].count);
  }
  return offset;
}

Variant& SafeArray::operator[](int32_t index) { return (*data_)[Offset({index})]; }

const Variant& SafeArray::operator[](int32_t index) const { return (*data_)[Offset({index})]; }

Variant& SafeArray::At(const std::vector<int32_t>& indexes) { return (*data_)[Offset(indexes)]; }

const Variant& SafeArray::At(const std::vector<int32_t>& indexes) const {
  return (*data_)[Offset(indexes)];
}

void SafeArray::Redim(int32_t lowerBound, int32_t count, bool preserve) {
  if (count < 0) Raise(errSubscriptOutOfRange);
  auto resized = std::make_unique<std::vector<Variant>>(static_cast<size_t>(count));
  if (preserve && Dims() == 1) {
    // Elements keep their position from the lower bound, as ReDim Preserve keeps them.
    const size_t kept = std::min(data_->size(), resized->size());
    for (size_t i = 0; i < kept; ++i) (*resized)[i] = std::move((*data_)[i]);
  }
  bounds_ = {Bound{lowerBound, count}};
  data_ = std::move(resized);
}

}  // namespace orvex
