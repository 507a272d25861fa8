// Where each text of a sequence sits, found by its hash: an open-addressing table with linear
// probing that keeps only the hash and the position of each text; the texts stay where their
// owner keeps them. One probe usually lands on the slot: no chain of nodes to follow, and no
// node to allocate per text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/scripting/huge_pages.hpp"

namespace orvex::scripting {

class KeyIndex {
 public:
  static constexpr size_t npos = static_cast<size_t>(-1);

  static uint64_t Hash(std::string_view key) { return std::hash<std::string_view>()(key); }

  // The position of the text equal to key, or npos; textAt(position) gives the owner's text.
  template <class TextAt>
  size_t Find(std::string_view key, uint64_t hash, const TextAt& textAt) const {
    if (slots_.empty()) return npos;
    const size_t mask = slots_.size() - 1;
    const uint32_t tag = Tag(hash);
    for (size_t i = tag & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.position == kEmpty) return npos;
      if (slot.tag == tag && textAt(slot.position) == key) return slot.position;
    }
  }

  // Makes room for one more text, so that the Insert that follows cannot fail.
  void Reserve(size_t count);
  // Records a text known to be absent. Reserve(Count() + 1) must have been called; positions
  // stay below 2^32 - 1.
  void Insert(uint64_t hash, size_t position);
  size_t Count() const { return count_; }
  void Clear();

 private:
  // Eight bytes a slot, so that more of the table stays in the cache: 32 bits of the hash
  // (which also choose the slot: the table never has 2^32 slots) and the position.
  struct Slot {
    uint32_t tag;
    uint32_t position;
  };
  static constexpr uint32_t kEmpty = UINT32_MAX;
  static uint32_t Tag(uint64_t hash) { return static_cast<uint32_t>(hash); }
  void Place(uint32_t tag, uint32_t position);

  std::vector<Slot, HugePageAllocator<Slot>> slots_;  // a power of two in size, at most half full
  size_t count_ = 0;
};

}  // namespace orvex::scripting
