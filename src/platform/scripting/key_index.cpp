#include "platform/scripting/key_index.hpp"

namespace orvex::scripting {

void KeyIndex::Reserve(size_t count) {
  if (count * 2 <= slots_.size()) return;
  size_t size = slots_.empty() ? 16 : slots_.size();
  while (count * 2 > size) size *= 2;
  std::vector<Slot, HugePageAllocator<Slot>> old(size, Slot{0, kEmpty});
  old.swap(slots_);
  for (const Slot& slot : old) {
    if (slot.position != kEmpty) Place(slot.tag, slot.position);
  }
}

void KeyIndex::Insert(uint64_t hash, size_t position) {
  Place(Tag(hash), static_cast<uint32_t>(position));
  ++count_;
}

void KeyIndex::Place(uint32_t tag, uint32_t position) {
  const size_t mask = slots_.size() - 1;
  size_t i = tag & mask;
  while (slots_[i].position != kEmpty) i = (i + 1) & mask;
  slots_[i] = Slot{tag, position};
}

void KeyIndex::Clear() {
  slots_.clear();
  count_ = 0;
}

}  // namespace orvex::scripting
