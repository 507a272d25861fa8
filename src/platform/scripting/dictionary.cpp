#include "platform/scripting/dictionary.hpp"

#include "orvex/automation_error.hpp"

namespace orvex::scripting {

namespace {
constexpr const char* kDictionarySource = "Scripting.Dictionary";
}

bool Dictionary::Exists(const std::string& key) const { return index_.count(key) != 0; }

Variant& Dictionary::Item(const std::string& key) {
  auto found = index_.find(key);
  if (found != index_.end()) return found->second->second;
  entries_.emplace_back(key, Variant());
  index_.emplace(key, std::prev(entries_.end()));
  return entries_.back().second;
}

void Dictionary::Item(const std::string& key, Variant value) { Item(key) = std::move(value); }

void Dictionary::Add(const std::string& key, Variant value) {
  if (Exists(key)) Raise(errKeyExists, kDictionarySource);
  entries_.emplace_back(key, std::move(value));
  index_.emplace(key, std::prev(entries_.end()));
}

int32_t Dictionary::Count() const { return static_cast<int32_t>(entries_.size()); }

void Dictionary::Remove(const std::string& key) {
  auto found = index_.find(key);
  if (found == index_.end()) Raise(kElementNotFound, kDictionarySource, "Element not found");
  entries_.erase(found->second);
  index_.erase(found);
}

void Dictionary::RemoveAll() {
  index_.clear();
  entries_.clear();
}

std::vector<std::string> Dictionary::Keys() const {
  std::vector<std::string> keys;
  keys.reserve(entries_.size());
  for (const auto& entry : entries_) keys.push_back(entry.first);
  return keys;
}

std::vector<Variant> Dictionary::Items() const {
  std::vector<Variant> items;
  items.reserve(entries_.size());
  for (const auto& entry : entries_) items.push_back(entry.second);
  return items;
}

}  // namespace orvex::scripting
