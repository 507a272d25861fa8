#include "platform/scripting/text_dictionary.hpp"

#include <algorithm>
#include <cstring>
#include <limits>

#include "orvex/automation_error.hpp"

namespace orvex::scripting {

namespace {

constexpr const char* kDictionarySource = "Scripting.Dictionary";

// The number a key written as a plain whole number stands for: digits only, no leading zero,
// at most nine of them.
std::optional<uint32_t> PlainNumber(std::string_view key) {
  if (key.empty() || key.size() > 9 || (key[0] == '0' && key.size() > 1)) return std::nullopt;
  uint32_t number = 0;
  for (char digit : key) {
    if (digit < '0' || digit > '9') return std::nullopt;
    number = number * 10 + static_cast<uint32_t>(digit - '0');
  }
  return number;
}

}  // namespace

std::string_view TextDictionary::KeyAt(size_t position) const {
  const Entry& entry = entries_[position];
  return std::string_view(entry.key, entry.keySize);
}

size_t TextDictionary::PositionOf(std::string_view key, std::optional<uint32_t> number) const {
  if (number && *number < byNumber_.size() && byNumber_[*number] != 0) {
    return byNumber_[*number] - 1;
  }
  if (index_.Count() == 0) return KeyIndex::npos;
  return index_.Find(key, KeyIndex::Hash(key), [this](size_t position) { return KeyAt(position); });
}

std::optional<std::string_view> TextDictionary::Find(std::string_view key) const {
  const size_t found = PositionOf(key, PlainNumber(key));
  if (found == KeyIndex::npos) return std::nullopt;
  const Entry& entry = entries_[found];
  return std::string_view(entry.key + entry.keySize, entry.textSize);
}

bool TextDictionary::RoomInDirectTable(uint32_t number) {
  if (number < byNumber_.size()) return true;
  // Beyond a few times the number of entries the numbers are too sparse for the table to pay.
  const size_t limit = 4 * (entries_.size() + 1) + 1024;
  if (number >= limit) return false;
  byNumber_.resize(std::min(limit, std::max<size_t>(number + 1, byNumber_.size() * 2)));
  return true;
}

void TextDictionary::Add(std::string_view key, std::string_view text) {
  const std::optional<uint32_t> number = PlainNumber(key);
  if (PositionOf(key, number) != KeyIndex::npos) Raise(errKeyExists, kDictionarySource);
  constexpr size_t kLargest = std::numeric_limits<uint32_t>::max();
  if (key.size() > kLargest || text.size() > kLargest || entries_.size() >= kLargest - 1) {
    Raise(errOutOfMemory, kDictionarySource);
  }
  // Room is made first, so that a failed allocation leaves the dictionary as it was.
  const bool direct = number && RoomInDirectTable(*number);
  if (!direct) index_.Reserve(index_.Count() + 1);
  MakeRoomForOne(entries_);
  char* stored = texts_.Take(key.size() + text.size());
  if (!key.empty()) std::memcpy(stored, key.data(), key.size());
  if (!text.empty()) std::memcpy(stored + key.size(), text.data(), text.size());
  entries_.push_back(
      Entry{stored, static_cast<uint32_t>(key.size()), static_cast<uint32_t>(text.size())});
  if (direct) {
    byNumber_[*number] = static_cast<uint32_t>(entries_.size());
  } else {
    index_.Insert(KeyIndex::Hash(key), entries_.size() - 1);
  }
}

std::vector<std::string> TextDictionary::Keys() const {
  std::vector<std::string> keys;
  keys.reserve(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i) keys.emplace_back(KeyAt(i));
  return keys;
}

}  // namespace orvex::scripting
