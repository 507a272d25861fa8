#include "platform/data/find_index.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

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

const FindIndex::Positions* FindIndex::PositionsOf(const FindKey& key) const {
  if (key.isNumber) {
    auto found = numbers_.find(key.number);
    return found == numbers_.end() ? nullptr : &found->second;
  }
  auto found = texts_.find(key.text);
  return found == texts_.end() ? nullptr : &found->second;
}

FindIndex::Positions* FindIndex::PositionsOf(const FindKey& key) {
  return const_cast<Positions*>(std::as_const(*this).PositionsOf(key));
}

void FindIndex::Add(int64_t position, const std::optional<FindKey>& key) {
  if (!key) return;
  if (!key->isNumber) {
    texts_[key->text].Add(position);
    return;
  }
  Positions& list = numbers_[key->number];
  list.Add(position);
  dense_.Update(key->number, &list, numbers_.size());
}

void FindIndex::Remove(int64_t position, const std::optional<FindKey>& key) {
  if (!key) return;
  Positions* list = PositionsOf(*key);
  if (list == nullptr) return;
  list->Remove(position);
  if (key->isNumber) dense_.Update(key->number, list, numbers_.size());
  if (!list->Empty()) return;
  if (key->isNumber)
    numbers_.erase(key->number);
  else
    texts_.erase(key->text);
}

int64_t FindIndex::FindForward(const FindKey& key, int64_t from) const {
  if (auto slot = DirectEntry(key)) return *slot >= from ? *slot : -1;  // kAbsent is -1 too
  const Positions* list = PositionsOf(key);
  return list == nullptr ? -1 : list->FirstFrom(from);
}

int64_t FindIndex::FindForwardWrapping(const FindKey& key, int64_t from) const {
  if (auto slot = DirectEntry(key)) return *slot;  // the one position, or kAbsent (-1)
  const Positions* list = PositionsOf(key);
  if (list == nullptr) return -1;
  const int64_t found = list->FirstFrom(from);
  return found >= 0 ? found : list->FirstFrom(0);
}

int64_t FindIndex::FindBackward(const FindKey& key, int64_t from) const {
  if (auto slot = DirectEntry(key)) return *slot <= from ? *slot : -1;
  const Positions* list = PositionsOf(key);
  return list == nullptr ? -1 : list->LastUpTo(from);
}

}  // namespace orvex::data::internal
