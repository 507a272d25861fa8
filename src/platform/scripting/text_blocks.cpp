#include "platform/scripting/text_blocks.hpp"

#include <algorithm>

#include "platform/scripting/huge_pages.hpp"

namespace orvex::scripting {

namespace {

constexpr size_t kFirstBlockBytes = 16 * 1024;

}  // namespace

TextBlocks::~TextBlocks() {
  for (const Block& block : blocks_) ReleaseLarge(block.data, block.size);
}

char* TextBlocks::Take(size_t size) {
  if (size > room_) {
    const size_t last = blocks_.empty() ? 0 : blocks_.back().size;
    const size_t wanted =
        LargeSize(std::max(size, std::clamp(last * 2, kFirstBlockBytes, kHugePageBytes)));
    MakeRoomForOne(blocks_);
    Block block{static_cast<char*>(AllocateLarge(wanted)), wanted};
    blocks_.push_back(block);
    free_ = block.data;
    room_ = block.size;
  }
  char* taken = free_;
  free_ += size;
  room_ -= size;
  return taken;
}

}  // namespace orvex::scripting
