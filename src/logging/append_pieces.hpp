// Composing the loggers' records from their pieces.
#pragma once

#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

namespace orvex::logging {

// Appends the pieces in one step: one growth of `out` and one copy per piece, where appending
// them one by one checks and grows the string once per piece. The error logger composes each
// record's source and line so.
inline void AppendPieces(std::string& out, std::initializer_list<std::string_view> pieces) {
  size_t total = 0;
  for (std::string_view piece : pieces) total += piece.size();
  const size_t start = out.size();
  out.resize(start + total);
  char* next = out.data() + start;
  for (std::string_view piece : pieces) {
    if (piece.empty()) continue;
    std::memcpy(next, piece.data(), piece.size());
    next += piece.size();
  }
}

}  // namespace orvex::logging
