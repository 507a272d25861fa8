// What only the SQLite provider does: its type table, read-only files, session pooling.
#include <gtest/gtest.h>

#include <filesystem>

#include "orvex/data.hpp"
#include "platform/data/connection_access.hpp"
#include "platform/data/connection_string.hpp"
#include "platform/data/session_pool.hpp"
#include "support/automation_matchers.hpp"
#include "support/temp_dir.hpp"

namespace orvex::data {
namespace {

using orvex::testing::TempDir;

sp<Connection> Open(const std::string& connectionString) {
  auto connection = std::make_shared<Connection>();
  connection->ConnectionString = connectionString;
  connection->Open();
  return connection;
}

struct ExpectedColumn {
  const char* name;
  int32_t type, size, precision, scale;
  bool nullable;
};

TEST(SqliteProvider, ReportsTheTypeTableOfDeclaredTypes) {
  TempDir folder;
  auto connection = Open("Data Source=" + folder.File("types.db"));
  connection->Execute(
      "CREATE TABLE T (Id INTEGER PRIMARY KEY, Qty SMALLINT, Code VARCHAR(10), "
      "Label NVARCHAR(10), Price DECIMAL(9,2), Stamp DATETIME, Done BOOLEAN, Note TEXT, "
      "Must INTEGER NOT NULL, Big BIGINT, Amount NUMERIC(12,4), Day DATE, Fixed CHAR(3), "
      "Data BLOB, R REAL, F FLOAT, D DOUBLE)");
  auto rs = std::make_shared<Recordset>();
  rs->CursorLocation(adUseClient);
  rs->Open(Variant("SELECT TOP 1 * FROM T"), Variant(connection), adOpenStatic);
  EXPECT_TRUE(rs->BOF());
  EXPECT_TRUE(rs->EOF_());
  EXPECT_EQ(rs->AbsolutePosition(), adPosUnknown);

  const ExpectedColumn expected[] = {
      {"Id", adInteger, 4, 10, 255, false},
      {"Qty", adSmallInt, 2, 5, 255, true},
      {"Code", adVarChar, 10, 255, 255, true},
      {"Label", adVarWChar, 10, 255, 255, true},
      {"Price", adDecimal, 16, 9, 2, true},
      {"Stamp", adDate, 8, 255, 255, true},
      {"Done", adBoolean, 2, 255, 255, true},
      {"Note", adLongVarWChar, 1073741823, 255, 255, true},
      {"Must", adInteger, 4, 10, 255, false},
      {"Big", adBigInt, 8, 19, 255, true},
      {"Amount", adNumeric, 19, 12, 4, true},
      {"Day", adDBDate, 6, 255, 255, true},
      {"Fixed", adChar, 3, 255, 255, true},
      {"Data", adLongVarBinary, 2147483647, 255, 255, true},
      {"R", adDouble, 8, 255, 255, true},  // SQLite's floating point is always 8 bytes
      {"F", adDouble, 8, 255, 255, true},
      {"D", adDouble, 8, 255, 255, true},
  };
  ASSERT_EQ(rs->Fields()->Count(), static_cast<int32_t>(std::size(expected)));
  for (int32_t i = 0; i < rs->Fields()->Count(); ++i) {
    const ExpectedColumn& want = expected[i];
    SCOPED_TRACE(want.name);
    auto field = rs->Fields()->Item(i);
    EXPECT_EQ(field->Name(), want.name);
    EXPECT_EQ(field->Type(), want.type);
    EXPECT_EQ(field->DefinedSize(), want.size);
    if (want.type == adDecimal || want.type == adNumeric) {
      EXPECT_EQ(field->Precision(), want.precision);
      EXPECT_EQ(field->NumericScale(), want.scale);
    }
    EXPECT_EQ((field->Attributes() & adFldIsNullable) != 0, want.nullable);
  }
  EXPECT_NE(rs->Fields()->Item("id")->Attributes() & adFldKeyColumn, 0);
}

TEST(SqliteProvider, ReadsStoredValuesAsTheirColumnTypes) {
  TempDir folder;
  auto connection = Open("Data Source=" + folder.File("values.db"));
  connection->Execute(
      "CREATE TABLE T (Qty SMALLINT, Price DECIMAL(9,2), Stamp DATETIME, Done BOOLEAN, "
      "Day DATE, Note TEXT)");
  connection->Execute(
      "INSERT INTO T VALUES (7, 12.5, '2026-12-05 19:29:54', 1, '2026-01-31', NULL)");
  auto rs = connection->Execute("SELECT * FROM T");
  auto fields = rs->Fields();
  EXPECT_EQ(fields->Item("Qty")->Value().VarType(), vbInteger);
  EXPECT_EQ(fields->Item("Qty")->Value().I2(), 7);
  EXPECT_EQ(fields->Item("Price")->Value().VarType(), vbDecimal);
  EXPECT_DOUBLE_EQ(fields->Item("Price")->Value().Dec().ToDouble(), 12.5);
  EXPECT_EQ(fields->Item("Stamp")->Value().VarType(), vbDate);
  EXPECT_EQ(fields->Item("Stamp")->Value().DateValue(), Date(2026, 12, 5, 19, 29, 54));
  EXPECT_EQ(fields->Item("Done")->Value().VarType(), vbBoolean);
  EXPECT_TRUE(fields->Item("Done")->Value().Bool());
  EXPECT_EQ(fields->Item("Day")->Value().DateValue(), Date(2026, 1, 31));
  EXPECT_TRUE(fields->Item("Note")->Value().IsNull());
}

// A floating-point value written through an edit and read back keeps every bit of its double.
TEST(SqliteProvider, FloatingPointColumnsKeepDoublePrecision) {
  TempDir folder;
  auto connection = Open("Data Source=" + folder.File("reals.db"));
  connection->Execute("CREATE TABLE T (Id INTEGER PRIMARY KEY, R REAL, F FLOAT, D DOUBLE)");
  connection->Execute("INSERT INTO T VALUES (1, 0.1, 0.1, 0.1)");
  auto rs = std::make_shared<Recordset>();
  rs->CursorLocation(adUseClient);
  rs->Open(Variant("SELECT * FROM T"), Variant(connection), adOpenStatic, adLockOptimistic);
  for (const char* column : {"R", "F", "D"}) {
    SCOPED_TRACE(column);
    EXPECT_EQ(rs->Fields()->Item(column)->Value().VarType(), vbDouble);
    EXPECT_EQ(rs->Fields()->Item(column)->Value().R8(), 0.1);
    rs->Fields()->Item(column)->Value(Variant(123456789.125));
  }
  rs->Update();
  auto back = connection->Execute("SELECT R, F, D FROM T");
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(back->Fields()->Item(i)->Value().R8(), 123456789.125);
}

std::string BytesOf(const Variant& value) {
  EXPECT_EQ(value.VarType(), vbArray | vbByte);
  std::string bytes;
  if (value.VarType() != (vbArray | vbByte)) return bytes;
  for (int32_t i = value.Array().LBound(); i <= value.Array().UBound(); ++i)
    bytes.push_back(static_cast<char>(value.Array()[i].Byte()));
  return bytes;
}

// SQLite keeps each value's own kind whatever the column says, so one column can change kind
// from row to row; nothing of a row's value may stay behind for the next.
TEST(SqliteProvider, ReadsEveryStoredKindRowAfterRowInOneColumn) {
  TempDir folder;
  auto connection = Open("Data Source=" + folder.File("kinds.db"));
  connection->Execute("CREATE TABLE T (N INTEGER, Note TEXT, Data BLOB)");
  connection->Execute("INSERT INTO T VALUES (5, 'a text longer than a short string', X'00FF10')");
  connection->Execute("INSERT INTO T VALUES ('abc', NULL, 'short')");
  connection->Execute("INSERT INTO T VALUES (NULL, 42, NULL)");
  connection->Execute("INSERT INTO T VALUES (3000000000, '', X'')");
  connection->Execute("INSERT INTO T VALUES (2.5, 'after', X'41')");
  auto rs = connection->Execute("SELECT N, Note, Data FROM T ORDER BY rowid");
  auto fields = rs->Fields();
  auto value = [&](const char* name) { return fields->Item(name)->Value(); };

  EXPECT_EQ(value("N").VarType(), vbLong);
  EXPECT_EQ(value("N").I4(), 5);
  EXPECT_EQ(value("Note").Str(), "a text longer than a short string");
  EXPECT_EQ(BytesOf(value("Data")), std::string("\x00\xFF\x10", 3));
  rs->MoveNext();
  EXPECT_EQ(value("N").Str(), "abc") << "a text the column cannot read comes back as stored";
  EXPECT_TRUE(value("Note").IsNull());
  EXPECT_EQ(BytesOf(value("Data")), "short");
  rs->MoveNext();
  EXPECT_TRUE(value("N").IsNull());
  EXPECT_EQ(value("Note").Str(), "42");
  EXPECT_TRUE(value("Data").IsNull());
  rs->MoveNext();
  EXPECT_EQ(value("N").VarType(), vbDecimal) << "beyond a Long";
  EXPECT_DOUBLE_EQ(value("N").Dec().ToDouble(), 3000000000.0);
  EXPECT_EQ(value("Note").VarType(), vbString);
  EXPECT_EQ(value("Note").Str(), "");
  EXPECT_EQ(BytesOf(value("Data")), "") << "an empty blob is an empty array, not the last bytes";
  rs->MoveNext();
  EXPECT_EQ(value("N").VarType(), vbDouble);
  EXPECT_EQ(value("N").R8(), 2.5);
  EXPECT_EQ(value("Note").Str(), "after");
  EXPECT_EQ(BytesOf(value("Data")), "A");
  rs->MoveNext();
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

TEST(SqliteProvider, PoolsSessionsPerConnectionStringAndReplacesAStaleOne) {
  TempDir folder;
  std::string text = "Data Source=" + folder.File("pool.db");
  auto settings = internal::ConnectionString::Parse(text);
  auto connection = Open(text);
  connection->Execute("CREATE TABLE T (A INTEGER)");
  auto session = internal::ConnectionAccess::SessionOf(*connection);
  connection->Close();
  EXPECT_EQ(internal::IdleSessionCount(settings), 1u);
  connection->Open();
  EXPECT_EQ(internal::ConnectionAccess::SessionOf(*connection), session)
      << "Open after Close reuses the live session";
  EXPECT_EQ(internal::IdleSessionCount(settings), 0u);
  connection->Close();

  // The file replaced behind the pool's back: the idle session must not be handed out.
  std::filesystem::remove(folder.File("pool.db"));
  connection->Open();
  EXPECT_NE(internal::ConnectionAccess::SessionOf(*connection), session);
  EXPECT_AUTOMATION_ERROR(connection->Execute("SELECT * FROM T"), DB_E_NOTABLE, "SQLite", "");
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
