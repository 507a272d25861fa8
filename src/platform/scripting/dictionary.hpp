// The scripting runtime's dictionary: texts as keys, compared exactly (case-sensitive, byte for
// byte), variants as items, kept in the order they were added.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "orvex/variant.hpp"
#include "platform/scripting/key_index.hpp"

namespace orvex::scripting {

// Raised by Remove for an absent key.
inline constexpr int32_t kElementNotFound = 32811;

class Dictionary : public Object {
 public:
  bool Exists(const std::string& key) const;
  // The item of key; an absent key is added with an Empty item first, as the runtime does.
  Variant& Item(const std::string& key);
  // Sets the item of key, adding the key when it is absent.
  void Item(const std::string& key, Variant value);
  // Adds a new key; error 457 when the key is already there (the dictionary is then unchanged).
  void Add(const std::string& key, Variant value);
  int32_t Count() const;
  // Error 32811 ("Element not found") when the key is absent.
  void Remove(const std::string& key);
  void RemoveAll();
  std::vector<std::string> Keys() const;
  std::vector<Variant> Items() const;

 private:
  using Entry = std::pair<std::string, Variant>;
  // The position of key's entry, or KeyIndex::npos.
  size_t Find(std::string_view key, uint64_t hash) const;
  // Appends a new entry for a key known to be absent; returns its item.
  Variant& Append(const std::string& key, uint64_t hash, Variant value);
  void RebuildIndex();

  // In the order added; a deque keeps each item where it is while entries are appended, so
  // the references Item returns stay valid.
  std::deque<Entry> entries_;
  KeyIndex index_;  // key -> position in entries_
};

}  // namespace orvex::scripting
