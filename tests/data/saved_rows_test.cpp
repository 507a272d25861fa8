// Saved-rows files: damaged files are refused whole. (The round trip of every column type is in
// column_types_test, edits saved over the file they came from in find_test, headers whose counts
// lie under a right checksum in reliability/hostile_input_test.)
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
  auto whole = OpenSaved(path);
  EXPECT_EQ(whole->ActiveConnection(), nullptr);
  EXPECT_EQ(whole->LockType(), adLockBatchOptimistic);
  EXPECT_EQ(whole->RecordCount(), 3);
  const std::string bytes = ReadFile(path), damaged = folder_.File("damaged.rows");
  // Every cut short, then every byte with one bit flipped.
  for (size_t at = 0; at < 2 * bytes.size(); ++at) {
    std::string changed = bytes.substr(0, at < bytes.size() ? at : bytes.size());
    if (at >= bytes.size()) changed[at - bytes.size()] ^= static_cast<char>(1 << (at % 8));
    WriteFile(damaged, changed);
    SCOPED_TRACE(at < bytes.size() ? "truncated to " + std::to_string(at)
                                   : "bit flipped in byte " + std::to_string(at - bytes.size()));
    EXPECT_AUTOMATION_ERROR(OpenSaved(damaged), adErrCorruptFile, "ORVEX.Data.Recordset", "");
  }
  EXPECT_AUTOMATION_ERROR(OpenSaved(folder_.File("missing.rows")), adErrOpeningFile,
                          "ORVEX.Data.Recordset", "");
}

ORVEX_INSTANTIATE_DATABASE_TESTS(SavedRowsTest);

}  // namespace
}  // namespace orvex::testing
