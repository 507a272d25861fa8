// A buffer a writer keeps from one record to the next, so that an ordinary record allocates
// nothing; the room an outsized record needed is given back rather than held for the life of
// the writer.
#pragma once

#include <cstddef>
#include <string>

namespace orvex::scripting {

inline constexpr size_t kKeptBufferBytes = 64 * 1024;

// Empties buffer for the next record.
inline void ClearForNextRecord(std::string& buffer) {
  if (buffer.capacity() > kKeptBufferBytes) std::string().swap(buffer);
  buffer.clear();
}

}  // namespace orvex::scripting
