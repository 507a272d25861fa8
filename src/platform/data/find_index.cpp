#include "platform/data/find_index.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "orvex/automation_error.hpp"
#include "orvex/locale.hpp"

namespace orvex::data::internal {

namespace {

std::string NumberKey(double number) {
  if (std::nearbyint(number) == number && std::fabs(number) < 1e15) {
    // Whole numbers are the common key (IDs): their digits without going through printf.
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

std::optional<double> NumberOf(const Variant& value) {
  switch (value.VarType()) {
    case vbString: {
      const std::string& text = value.Str();
      if (text.empty()) return std::nullopt;
      char* end = nullptr;
      double number = std::strtod(text.c_str(), &end);
      if (end != text.c_str() + text.size()) return std::nullopt;
      return number;
    }
    case vbInteger:
    case vbLong:
    case vbSingle:
    case vbDouble:
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

std::optional<std::string> FindIndex::KeyOf(const Variant& value, bool numericColumn) {
  uint16_t vt = value.VarType();
  if (vt == vbEmpty || vt == vbNull) return std::nullopt;
  if (numericColumn || vt != vbString) {
    if (auto number = NumberOf(value)) return NumberKey(*number);
  }
  if (vt == vbString) return value.Str();
  try {
    return CStr(value);
  } catch (const AutomationError&) {
    return std::nullopt;  // objects and arrays are never found
  }
}

void FindIndex::Add(int64_t position, const std::optional<std::string>& key) {
  if (!key) return;
  auto& list = positions_[*key];
  if (list.empty() || list.back() < position) {
    list.push_back(position);  // rows are appended at the end: the common case
  } else {
    list.insert(std::lower_bound(list.begin(), list.end(), position), position);
  }
}

void FindIndex::Remove(int64_t position, const std::optional<std::string>& key) {
  if (!key) return;
  auto found = positions_.find(*key);
  if (found == positions_.end()) return;
  auto& list = found->second;
  auto at = std::lower_bound(list.begin(), list.end(), position);
  if (at != list.end() && *at == position) list.erase(at);
  if (list.empty()) positions_.erase(found);
}

int64_t FindIndex::FindForward(const std::string& key, int64_t from) const {
  auto found = positions_.find(key);
  if (found == positions_.end()) return -1;
  const auto& list = found->second;
  auto at = std::lower_bound(list.begin(), list.end(), from);
  return at == list.end() ? -1 : *at;
}

int64_t FindIndex::FindBackward(const std::string& key, int64_t from) const {
  auto found = positions_.find(key);
  if (found == positions_.end()) return -1;
  const auto& list = found->second;
  auto at = std::upper_bound(list.begin(), list.end(), from);
  return at == list.begin() ? -1 : *(at - 1);
}

}  // namespace orvex::data::internal
