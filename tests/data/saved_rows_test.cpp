// Saved-rows files: the round trip, refusal of damaged files, and atomic replacement.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "data_fixture.hpp"
#include "platform/data/saved_rows_file.hpp"
#include "support/automation_matchers.hpp"

namespace orvex::testing {
namespace {

using namespace orvex::data;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

sp<Recordset> OpenFile(const std::string& path) {
  auto rs = std::make_shared<Recordset>();
  rs->Open(Variant(path), Variant::Missing(), -1, -1, -1);
  return rs;
}

class SavedRowsTest : public DataTest {
 protected:
  void MakeStrings(int rows) {
    std::vector<std::string> script = {
        "CREATE TABLE S (ID INTEGER, English VARCHAR(200), Arabic VARCHAR(200), Price "
        "DECIMAL(9,2), Stamp TIMESTAMP, Done BOOLEAN)"};
    for (int i = 1; i <= rows; ++i)
      script.push_back("INSERT INTO S VALUES (" + std::to_string(i) + ", 'text " +
                       std::to_string(i) + " " + std::string(100, 'x') +
                       "', 'نص', 1.25, '2026-12-05 19:29:54', " + (i % 2 ? "TRUE" : "FALSE") + ")");
    script.push_back("INSERT INTO S VALUES (NULL, NULL, NULL, NULL, NULL, NULL)");
    Run(script);
  }
};

TEST_P(SavedRowsTest, WhatSaveWritesOpensAgainAsTheSameColumnsAndRows) {
  MakeStrings(3);
  auto original = Query("SELECT * FROM S ORDER BY ID DESC");
  std::string path = folder_.File("strings.rows");
  original->Save(path);

  auto loaded = OpenFile(path);
  EXPECT_EQ(loaded->ActiveConnection(), nullptr);
  EXPECT_EQ(loaded->LockType(), adLockBatchOptimistic);
  ASSERT_EQ(loaded->RecordCount(), original->RecordCount());
  ASSERT_EQ(loaded->Fields()->Count(), original->Fields()->Count());
  for (int32_t c = 0; c < loaded->Fields()->Count(); ++c) {
    auto want = original->Fields()->Item(c);
    auto got = loaded->Fields()->Item(c);
    SCOPED_TRACE(want->Name());
    EXPECT_EQ(got->Name(), want->Name());
    EXPECT_EQ(got->Type(), want->Type());
    EXPECT_EQ(got->DefinedSize(), want->DefinedSize());
    EXPECT_EQ(got->Precision(), want->Precision());
    EXPECT_EQ(got->NumericScale(), want->NumericScale());
    EXPECT_EQ(got->Attributes(), want->Attributes());
  }
  original->MoveFirst();
  for (; !original->EOF_(); original->MoveNext(), loaded->MoveNext()) {
    for (int32_t c = 0; c < loaded->Fields()->Count(); ++c) {
      Variant want = original->Fields()->Item(c)->Value();
      Variant got = loaded->Fields()->Item(c)->Value();
      ASSERT_EQ(got.VarType(), want.VarType());
      if (!want.IsNull()) {
        EXPECT_EQ(CStr(got), CStr(want));
      }
    }
  }

  // Edited in memory and saved over itself, the file holds the edit.
  loaded->MoveFirst();
  loaded->Find("ID='2'");
  loaded->Fields()->Item("Arabic")->Value(Variant("x"));
  loaded->Update();
  loaded->AddNew();
  loaded->Fields()->Item("English")->Value(Variant("added"));
  loaded->Update();
  loaded->Save(path);
  auto again = OpenFile(path);
  EXPECT_EQ(again->RecordCount(), 5);
  again->Find("ID='2'");
  EXPECT_EQ(CStr(again->Fields()->Item("Arabic")->Value()), "x");
  again->MoveLast();
  EXPECT_EQ(CStr(again->Fields()->Item("English")->Value()), "added");
  EXPECT_TRUE(again->Fields()->Item("ID")->Value().IsNull());
}

TEST_P(SavedRowsTest, RefusesTruncatedAndBitFlippedFilesWhole) {
  MakeStrings(2);
  std::string path = folder_.File("strings.rows");
  Query("SELECT * FROM S")->Save(path);
  const std::string bytes = ReadBytes(path);
  std::string damaged = folder_.File("damaged.rows");
  for (size_t length = 0; length < bytes.size(); ++length) {
    WriteBytes(damaged, bytes.substr(0, length));
    SCOPED_TRACE("truncated to " + std::to_string(length));
    EXPECT_AUTOMATION_ERROR(OpenFile(damaged), adErrCorruptFile, "ORVEX.Data.Recordset", "");
  }
  for (size_t at = 0; at < bytes.size(); ++at) {
    std::string flipped = bytes;
    flipped[at] = static_cast<char>(flipped[at] ^ (1 << (at % 8)));
    WriteBytes(damaged, flipped);
    SCOPED_TRACE("bit flipped in byte " + std::to_string(at));
    EXPECT_AUTOMATION_ERROR(OpenFile(damaged), adErrCorruptFile, "", "");
  }
  EXPECT_AUTOMATION_ERROR(OpenFile(folder_.File("missing.rows")), adErrOpeningFile,
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
  WriteBytes(path, withChecksum(header + "\xFF\xFF\xFF\x7F"));  // 2^31 columns
  EXPECT_AUTOMATION_ERROR(OpenFile(path), adErrCorruptFile, "", "");
  std::string oneColumn = header + std::string("\x01\x00\x00\x00", 4) +
                          std::string("\x01\x00\x00\x00", 4) + "A" + std::string(20, '\0');
  WriteBytes(path, withChecksum(oneColumn + std::string(8, '\xFF')));  // 2^64-1 rows
  EXPECT_AUTOMATION_ERROR(OpenFile(path), adErrCorruptFile, "", "");
  WriteBytes(path, withChecksum(oneColumn + std::string("\x01", 1) + std::string(7, '\0') +
                                "\x08\xFF\xFF\xFF\xFF"));  // a string longer than the file
  EXPECT_AUTOMATION_ERROR(OpenFile(path), adErrCorruptFile, "", "");
}

ORVEX_INSTANTIATE_DATABASE_TESTS(SavedRowsTest);

}  // namespace
}  // namespace orvex::testing
