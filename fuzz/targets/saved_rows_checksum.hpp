// The CRC-32 that ends a saved-rows file, so that fuzz inputs can carry a correct one.
#pragma once

#include <cstdint>
#include <string>

namespace orvex::fuzz {

inline std::string WithChecksum(std::string bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  crc ^= 0xFFFFFFFFu;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((crc >> (8 * i)) & 0xFF);
  return bytes;
}

}  // namespace orvex::fuzz
