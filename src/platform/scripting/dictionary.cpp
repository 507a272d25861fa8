#include "platform/scripting/dictionary.hpp"

#include "orvex/automation_error.hpp"

namespace orvex::scripting {

namespace {
constexpr const char* kDictionarySource = "Scripting.Dictionary";
}

size_t Dictionary::Find(std::string_view key, uint64_t hash) const {
  return index_.Find(
      key, hash, [this](size_t position) -> std::string_view { return entries_[position].first; });
}

Variant& Dictionary::Append(const std::string& key, uint64_t hash, Variant value) {
  index_.Reserve(entries_.size() + 1);
  entries_.emplace_back(key, std::move(value));
  index_.Insert(hash, entries_.size() - 1);
  return entries_.back().second;
}

void Dictionary::RebuildIndex() {
  index_.Clear();
  index_.Reserve(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i) index_.Insert(KeyIndex::Hash(entries_[i].first), i);
}

bool Dictionary::Exists(const std::string& key) const {
  return Find(key, KeyIndex::Hash(key)) != KeyIndex::npos;
}

Variant& Dictionary::Item(const std::string& key) {
  const uint64_t hash = KeyIndex::Hash(key);
  size_t found = Find(key, hash);
  if (found != KeyIndex::npos) return entries_[found].second;
  return Append(key, hash, Variant());
}

void Dictionary::Item(const std::string& key, Variant value) { Item(key) = std::move(value); }

void Dictionary::Add(const std::string& key, Variant value) {
  const uint64_t hash = KeyIndex::Hash(key);
  if (Find(key, hash) != KeyIndex::npos) Raise(errKeyExists, kDictionarySource);
  Append(key, hash, std::move(value));
}

int32_t Dictionary::Count() const { return static_cast<int32_t>(entries_.size()); }

void Dictionary::Remove(const std::string& key) {
  size_t found = Find(key, KeyIndex::Hash(key));
  if (found == KeyIndex::npos) Raise(kElementNotFound, kDictionarySource, "Element not found");
  // The later entries move up one place: the index is made again (removal is rare; lookups
  // and additions are what a glossary does).
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(found));
  RebuildIndex();
}

void Dictionary::RemoveAll() {
  index_.Clear();
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
