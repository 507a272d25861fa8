// What only the SQLite provider does: a column whose values change kind from row to row,
// read-only files, and its connection strings.
#include <gtest/gtest.h>

#include "data/data_fixture.hpp"
#include "orvex/data.hpp"
#include "platform/data/connection_string.hpp"
#include "support/automation_matchers.hpp"
#include "support/temp_dir.hpp"

namespace orvex::data {
namespace {

using orvex::testing::Bytes;
using orvex::testing::Shown;

sp<Connection> Open(const std::string& connectionString) {
  auto connection = std::make_shared<Connection>();
  connection->Open(connectionString);
  return connection;
}

// SQLite keeps each value's own kind whatever the column says, so one column can change kind
// from row to row; nothing of a row's value may stay behind for the next.
TEST(SqliteProvider, ReadsEveryStoredKindRowAfterRowInOneColumn) {
  orvex::testing::TempDir folder;
  auto connection = Open("Data Source=" + folder.File("kinds.db"));
  connection->Execute("CREATE TABLE T (N INTEGER, Note TEXT, Data BLOB)");
  connection->Execute(
      "INSERT INTO T VALUES (5, 'a text longer than a short string', X'00FF10'), "
      "('abc', NULL, 'short'), (NULL, 42, -3000000000), (3000000000, '', X''), "
      "(2.5, 'after', X'41')");
  const Variant expected[] = {
      Variant(5), Variant("a text longer than a short string"), Bytes(std::string("\0\xFF\x10", 3)),
      // A text the column cannot read comes back as stored.
      Variant("abc"), Variant::Null(), Bytes("short"),  //
      Variant::Null(), Variant("42"), Variant(Decimal::FromInt64(-3000000000)),
      // Beyond a Long; an empty blob is an empty array, not the last row's bytes.
      Variant(Decimal::FromInt64(3000000000)), Variant(""), Bytes(""),  //
      Variant(2.5), Variant("after"), Bytes("A")};
  std::vector<std::string> want, got;
  for (const Variant& value : expected) want.push_back(Shown(value));
  for (auto rs = connection->Execute("SELECT * FROM T ORDER BY rowid"); !rs->EOF_(); rs->MoveNext())
    for (int32_t i = 0; i < 3; ++i) got.push_back(Shown(rs->Fields()->Item(i)->Value()));
  EXPECT_EQ(got, want);
}

TEST(SqliteProvider, AnInsertIntoAReadOnlyDatabaseFailsWithTheUnspecifiedError) {
  orvex::testing::TempDir folder;
  std::string path = folder.File("ro.db");
  Open("Data Source=" + path)->Execute("CREATE TABLE Log (strEvent VARCHAR(255))");
  auto connection = Open("Provider=SQLite;Data Source=" + path + ";Mode=ReadOnly");
  EXPECT_EQ(CStr(connection->Property(7)), path);
  EXPECT_EQ(connection->Properties()->Item("Data Source").Value.Str(), path);
  auto command = std::make_shared<Command>();
  command->ActiveConnection = connection;
  command->CommandText = "INSERT INTO Log (strEvent) VALUES (?)";
  command->Parameters()->Append(
      command->CreateParameter("strEvent", adVarChar, adParamInput, 255, Variant("x")));
  auto error = orvex::testing::CatchAutomationError([&] { command->Execute(); });
  EXPECT_EQ(error.Number, E_FAIL);
  EXPECT_EQ(error.Source, "SQLite");
  EXPECT_NE(error.Description.find("readonly"), std::string::npos) << error.Description;
}

TEST(SqliteProvider, ConnectionStringsAreParsedWithQuotesAndAnyKeyCase) {
  auto parsed = internal::ConnectionString::Parse(
      " data SOURCE = \"/tmp/a;b.db\" ; Busy Timeout=10;Mode='Read''Only'");
  EXPECT_EQ(parsed.Get("Data Source"), "/tmp/a;b.db");
  EXPECT_EQ(parsed.Get("busy timeout"), "10");
  EXPECT_EQ(parsed.Get("MODE"), "Read'Only");
  EXPECT_EQ(parsed.ProviderName(), "SQLite");
  for (const char* malformed : {"Data Source", "A='open"})
    EXPECT_AUTOMATION_ERROR(internal::ConnectionString::Parse(malformed), adErrInvalidArgument, "",
                            "");
  auto connection = std::make_shared<Connection>();
  EXPECT_AUTOMATION_ERROR(connection->Open("Provider=Nope;Data Source=x"), adErrProviderNotFound,
                          "ORVEX.Data.Connection", "");
  EXPECT_EQ(connection->State(), adStateClosed);
}

}  // namespace
}  // namespace orvex::data
