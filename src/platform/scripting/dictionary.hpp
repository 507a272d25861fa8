// The scripting runtime's dictionary: texts as keys, compared exactly (case-sensitive, byte for
// byte), variants as items, kept in the order they were added.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "orvex/variant.hpp"

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
  std::list<Entry> entries_;
  std::unordered_map<std::string, std::list<Entry>::iterator> index_;
};

}  // namespace orvex::scripting
