// Saved-rows files: damaged and forged files are refused whole. (The round trip of every column
// type is in column_types_test, edits saved over the file they came from in find_test.)
#include <gtest/gtest.h>

#include "data_fixture.hpp"
#include "support/automation_matchers.hpp"

namespace orvex::testing {
namespace {

using namespace orvex::data;

class SavedRowsTest : public DataTest {};

TEST_P(SavedRowsTest, RefusesTruncatedAndBitFlippedFilesWhole) {
  const std::string row =
      ", 'text " + std::string(100, 'x') + "', 'نص', 1.25, '2026-12-05 19:29:54', ";
  Run(
      {"CREATE TABLE S (ID INTEGER, English VARCHAR(200), Arabic VARCHAR(200), Price "
       "DECIMAL(9,2), Stamp TIMESTAMP, Done BOOLEAN)",
       "INSERT INTO S VALUES (1" + row + "TRUE), (2" + row +
           "FALSE), (NULL, NULL, NULL, NULL, NULL, NULL)"});
  std::string path = folder_.File("strings.rows");
  Query("SELECT * FROM S")->Save(path);
  auto whole = OpenSaved(path);  // (each column type's round trip: column_types_test)
  EXPECT_EQ(whole->ActiveConnection(), nullptr);
  EXPECT_EQ(whole->LockType(), adLockBatchOptimistic);
  EXPECT_EQ(whole->RecordCount(), 3);
  const std::string bytes = ReadFile(path);
  std::string damaged = folder_.File("damaged.rows");
  for (size_t length = 0; length < bytes.size(); ++length) {
    WriteFile(damaged, bytes.substr(0, length));
    SCOPED_TRACE("truncated to " + std::to_string(length));
    EXPECT_AUTOMATION_ERROR(OpenSaved(damaged), adErrCorruptFile, "ORVEX.Data.Recordset", "");
  }
  for (size_t at = 0; at < bytes.size(); ++at) {
    std::string flipped = bytes;
    flipped[at] = static_cast<char>(flipped[at] ^ (1 << (at % 8)));
    WriteFile(damaged, flipped);
    SCOPED_TRACE("bit flipped in byte " + std::to_string(at));
    EXPECT_AUTOMATION_ERROR(OpenSaved(damaged), adErrCorruptFile, "", "");
  }
  EXPECT_AUTOMATION_ERROR(OpenSaved(folder_.File("missing.rows")), adErrOpeningFile,
                          "ORVEX.Data.Recordset", "");
}

// CRC-32 as the file format uses it, to forge files whose checksum holds.
uint32_t Crc32(const std::string& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : data) {
    crc ^= byte;
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return crc ^ 0xFFFFFFFFu;
}

TEST_P(SavedRowsTest, AHeaderClaimingHugeCountsIsRefusedWithoutAllocatingThem) {
  auto withChecksum = [](std::string body) {
    uint32_t crc = Crc32(body);
    for (int i = 0; i < 4; ++i) body += static_cast<char>((crc >> (8 * i)) & 0xFF);
    return body;
  };
  std::string header = std::string("ORVXROWS") + '\x01' + '\x00';
  std::string path = folder_.File("forged.rows");
  WriteFile(path, withChecksum(header + "\xFF\xFF\xFF\x7F"));  // 2^31 columns
  EXPECT_AUTOMATION_ERROR(OpenSaved(path), adErrCorruptFile, "", "");
  std::string oneColumn = header + std::string("\x01\x00\x00\x00", 4) +
                          std::string("\x01\x00\x00\x00", 4) + "A" + std::string(20, '\0');
  WriteFile(path, withChecksum(oneColumn + std::string(8, '\xFF')));  // 2^64-1 rows
  EXPECT_AUTOMATION_ERROR(OpenSaved(path), adErrCorruptFile, "", "");
  WriteFile(path, withChecksum(oneColumn + std::string("\x01", 1) + std::string(7, '\0') +
                               "\x08\xFF\xFF\xFF\xFF"));  // a string longer than the file
  EXPECT_AUTOMATION_ERROR(OpenSaved(path), adErrCorruptFile, "", "");
}

ORVEX_INSTANTIATE_DATABASE_TESTS(SavedRowsTest);

}  // namespace
}  // namespace orvex::testing
