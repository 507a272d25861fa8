// Room for many short texts that live as long as their owner: handed out from a few large
// blocks, so that a text costs no allocation of its own. Blocks start small and double; from
// kLargeBytes on they are whole huge pages (see huge_pages.hpp).
#pragma once

#include <cstddef>
#include <vector>

namespace orvex::scripting {

class TextBlocks {
 public:
  TextBlocks() = default;
  TextBlocks(const TextBlocks&) = delete;
  TextBlocks& operator=(const TextBlocks&) = delete;
  ~TextBlocks();

  // size bytes of room that stay where they are until the blocks are destroyed. Throws
  // std::bad_alloc when no memory is left; nothing is then handed out.
  char* Take(size_t size);

 private:
  struct Block {
    char* data;
    size_t size;
  };

  std::vector<Block> blocks_;
  char* free_ = nullptr;  // the unused end of the last block
  size_t room_ = 0;
};

}  // namespace orvex::scripting
