// What only the SQLite provider does: a column whose values change kind from row to row,
// read-only files, and its connection strings.
#include <gtest/gtest.h>

#include "data/data_fixture.hpp"
#include "orvex/data.hpp"
#include "platform/data/connection_access.hpp"
#include "platform/data/connection_string.hpp"
#include "support/automation_matchers.hpp"
#include "support/temp_dir.hpp"

namespace orvex::data {
namespace {

using orvex::testing::Bytes;
using orvex::testing::Shown;
using orvex::testing::TempDir;

sp<Connection> Open(const std::string& connectionString) {
  auto connection = std::make_shared<Connection>();
  connection->ConnectionString = connectionString;
  connection->Open();
  return connection;
}

// SQLite keeps each value's own kind whatever the column says, so one column can change kind
// from row to row; nothing of a row's value may stay behind for the next.
TEST(SqliteProvider, ReadsEveryStoredKindRowAfterRowInOneColumn) {
  TempDir folder;
  auto connection = Open("Data Source=" + folder.File("kinds.db"));
  connection->Execute("CREATE TABLE T (N INTEGER, Note TEXT, Data BLOB)");
  for (const char* row :
       {"5, 'a text longer than a short string', X'00FF10'", "'abc', NULL, 'short'",
        "NULL, 42, NULL", "3000000000, '', X''", "2.5, 'after', X'41'"})
    connection->Execute(std::string("INSERT INTO T VALUES (") + row + ")");
  const std::string expected[][3] = {
      {Shown(Variant(5)), Shown(Variant("a text longer than a short string")),
       Shown(Bytes(std::string("\x00\xFF\x10", 3)))},
      // A text the column cannot read comes back as stored.
      {Shown(Variant("abc")), Shown(Variant::Null()), Shown(Bytes("short"))},
      {Shown(Variant::Null()), Shown(Variant("42")), Shown(Variant::Null())},
      // Beyond a Long; an empty blob is an empty array, not the last row's bytes.
      {Shown(Variant(Decimal::FromInt64(3000000000))), Shown(Variant("")), Shown(Bytes(""))},
      {Shown(Variant(2.5)), Shown(Variant("after")), Shown(Bytes("A"))}};
  auto rs = connection->Execute("SELECT N, Note, Data FROM T ORDER BY rowid");
  for (const auto& row : expected) {
    ASSERT_FALSE(rs->EOF_());
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(Shown(rs->Fields()->Item(i)->Value()), row[i]);
    rs->MoveNext();
  }
  EXPECT_TRUE(rs->EOF_());
}

TEST(SqliteProvider, AnInsertIntoAReadOnlyDatabaseFailsWithTheUnspecifiedError) {
  TempDir folder;
  std::string path = folder.File("ro.db");
  Open("Data Source=" + path)->Execute("CREATE TABLE Log (strEvent VARCHAR(255))");

  auto connection = Open("Provider=SQLite;Data Source=" + path + ";Mode=ReadOnly");
  EXPECT_EQ(CStr(connection->Property(7)), path);
  EXPECT_EQ(connection->Properties()->Item("Data Source").Value.Str(), path);
  auto command = std::make_shared<Command>();
  command->ActiveConnection = connection;
  command->CommandType = adCmdText;
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
  EXPECT_AUTOMATION_ERROR(internal::ConnectionString::Parse("Data Source"), adErrInvalidArgument,
                          "", "");
  EXPECT_AUTOMATION_ERROR(internal::ConnectionString::Parse("A='open"), adErrInvalidArgument, "",
                          "");
  auto connection = std::make_shared<Connection>();
  EXPECT_AUTOMATION_ERROR(connection->Open("Provider=Nope;Data Source=x"), adErrProviderNotFound,
                          "ORVEX.Data.Connection", "");
  EXPECT_EQ(connection->State(), adStateClosed);
}

}  // namespace
}  // namespace orvex::data
