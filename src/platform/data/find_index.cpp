#include "platform/data/find_index.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "orvex/automation_error.hpp"
#include "orvex/locale.hpp"

namespace orvex::data::internal {

namespace {

// The text a number has as a key in a text column: whole numbers as their digits.
std::string NumberText(double number) {
  if (std::nearbyint(number) == number && std::fabs(number) < 1e15) {
    if (number == 0 && std::signbit(number)) return "-0";
    return std::to_string(static_cast<int64_t>(number));
  }
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.17g", number);
  return buffer;
}

// Numbers held as numbers convert without a locale; looking up the user's for each key would
// cost more than the lookup itself.
double NumberWithoutLocale(const Variant& value) {
  thread_local const Locale kAnyLocale = Locale::EnglishUS();
  return CDbl(value, kAnyLocale);
}

// Text as C's strtod reads it (blanks first, signs, hexadecimal, infinity), the common plain
// digits first through the faster from_chars, which gives the same value for them.
std::optional<double> TextNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  double number = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, number);
  if (error == std::errc() && stop == end) return number;
  char* strtodEnd = nullptr;
  number = std::strtod(text.c_str(), &strtodEnd);
  if (strtodEnd != end) return std::nullopt;
  return number;
}

std::optional<double> NumberOf(const Variant& value) {
  switch (value.VarType()) {
    case vbString:
      return TextNumber(value.Str());
    case vbInteger:
      return value.I2();
    case vbLong:
      return value.I4();
    case vbDouble:
      return value.R8();
    case vbSingle:
    case vbCurrency:
    case vbDecimal:
    case vbByte:
    case vbBoolean:
      return NumberWithoutLocale(value);
    default:
      return std::nullopt;
  }
}

}  // namespace

std::optional<FindKey> FindIndex::KeyOf(const Variant& value, bool numericColumn) {
  uint16_t vt = value.VarType();
  if (vt == vbLong && numericColumn) return FindKey{true, static_cast<double>(value.I4()), {}};
  if (vt == vbEmpty || vt == vbNull) return std::nullopt;
  if (numericColumn || vt != vbString) {
    if (auto number = NumberOf(value)) {
      if (std::isnan(*number)) return std::nullopt;
      // 0 and -0 are the same number.
      if (numericColumn) return FindKey{true, *number == 0 ? 0.0 : *number, {}};
      return FindKey{false, 0, NumberText(*number)};
    }
  }
  if (vt == vbString) return FindKey{false, 0, value.Str()};
  try {
    return FindKey{false, 0, CStr(value)};
  } catch (const AutomationError&) {
    return std::nullopt;  // objects and arrays are never found
  }
}

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

FindIndex::Positions* FindIndex::PositionsOf(const FindKey& key) {
  if (key.isNumber) {
    auto found = numbers_.find(key.number);
    return found == numbers_.end() ? nullptr : &found->second;
  }
  auto found = texts_.find(key.text);
  return found == texts_.end() ? nullptr : &found->second;
}

const FindIndex::Positions* FindIndex::PositionsOf(const FindKey& key) const {
  return const_cast<FindIndex*>(this)->PositionsOf(key);
}

void FindIndex::Add(int64_t position, const std::optional<FindKey>& key) {
  if (!key) return;
  Positions& list = key->isNumber ? numbers_[key->number] : texts_[key->text];
  list.Add(position);
}

void FindIndex::Remove(int64_t position, const std::optional<FindKey>& key) {
  if (!key) return;
  Positions* list = PositionsOf(*key);
  if (list == nullptr) return;
  list->Remove(position);
  if (!list->Empty()) return;
  if (key->isNumber)
    numbers_.erase(key->number);
  else
    texts_.erase(key->text);
}

int64_t FindIndex::FindForward(const FindKey& key, int64_t from) const {
  const Positions* list = PositionsOf(key);
  return list == nullptr ? -1 : list->FirstFrom(from);
}

int64_t FindIndex::FindBackward(const FindKey& key, int64_t from) const {
  const Positions* list = PositionsOf(key);
  return list == nullptr ? -1 : list->LastUpTo(from);
}

}  // namespace orvex::data::internal
