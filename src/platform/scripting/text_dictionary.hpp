// A dictionary from text to text with the scripting dictionary's rules (keys compared exactly,
// a second Add of a key refused with error 457, entries kept in the order added), for the
// glossaries: their keys and texts are kept side by side in a few large blocks rather than one
// heap string and one variant each, so that loading a large glossary costs little more than
// reading it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orvex/variant.hpp"
#include "platform/scripting/huge_pages.hpp"
#include "platform/scripting/key_index.hpp"
#include "platform/scripting/text_blocks.hpp"

namespace orvex::scripting {

class TextDictionary : public Object {
 public:
  bool Exists(std::string_view key) const { return Find(key).has_value(); }
  // The text of key, or nothing when the key is absent. The view lasts as long as the
  // dictionary.
  std::optional<std::string_view> Find(std::string_view key) const;
  // Adds a new key; error 457 when the key is already there (the dictionary is then unchanged).
  void Add(std::string_view key, std::string_view text);
  int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
  std::vector<std::string> Keys() const;

 private:
  struct Entry {
    const char* key;  // the text follows the key
    uint32_t keySize;
    uint32_t textSize;
  };
  std::string_view KeyAt(size_t position) const;
  // The position of key's entry, or KeyIndex::npos; number is PlainNumber(key).
  size_t PositionOf(std::string_view key, std::optional<uint32_t> number) const;
  // Whether number has, or has been given, a place in the direct table.
  bool RoomInDirectTable(uint32_t number);

  std::vector<Entry, HugePageAllocator<Entry>> entries_;
  TextBlocks texts_;  // each entry's key, then its text
  // Keys that are whole numbers written the plain way ("0", "17"; not "017", "+17" or "-17")
  // stand at their number in a direct table while the numbers run densely, as glossary IDs do;
  // other keys go through the hash index. Each key is in one of the two; a look-up tries both.
  std::vector<uint32_t, HugePageAllocator<uint32_t>> byNumber_;  // number -> position + 1, or 0
  KeyIndex index_;                                               // key -> position in entries_
};

}  // namespace orvex::scripting
