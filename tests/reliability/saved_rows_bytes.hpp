// Builds saved-rows files byte by byte (magic, version, columns, rows, CRC-32), so that a test
// can write one whose counts lie while its checksum is right.
#pragma once

#include <cstdint>
#include <string>

namespace orvex::reliability {

class SavedRowsBytes {
 public:
  static SavedRowsBytes Header(uint32_t columnCount) {
    SavedRowsBytes out;
    out.bytes_ = "ORVXROWS";
    return out.Put(uint16_t{1}).Put(columnCount);
  }
  // A column of the given ADO type with zero size, precision, scale and attributes.
  SavedRowsBytes& Column(const std::string& name, int32_t type) {
    String(static_cast<uint32_t>(name.size()), name).Put(type);
    return Put(uint64_t{0}).Put(uint64_t{0});
  }
  // A length prefix that may claim more than the bytes that follow.
  SavedRowsBytes& String(uint32_t claimedLength, const std::string& bytes) {
    Put(claimedLength).bytes_ += bytes;
    return *this;
  }
  SavedRowsBytes& Rows(uint64_t count) { return Put(count); }
  SavedRowsBytes& Tag(uint8_t tag) { return Put(tag); }
  SavedRowsBytes& Int32(int32_t value) { return Put(value); }

  // The bytes followed by their CRC-32 (IEEE, reflected), little-endian.
  std::string Finish() const {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes_) {
      crc ^= byte;
      for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    SavedRowsBytes out = *this;
    return out.Put(crc ^ 0xFFFFFFFFu).bytes_;
  }

 private:
  template <class T>
  SavedRowsBytes& Put(T value) {
    for (size_t i = 0; i < sizeof(T); ++i)
      bytes_ += static_cast<char>((static_cast<uint64_t>(value) >> (8 * i)) & 0xFF);
    return *this;
  }

  std::string bytes_;
};

}  // namespace orvex::reliability
