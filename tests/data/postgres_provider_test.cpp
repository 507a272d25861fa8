// What only the PostgreSQL provider does: its type table from the catalog, its dialect, values
// both ways in text form, its error mapping, its connection strings and its pooled sessions.
#include <gtest/gtest.h>

#include <cstdlib>

#include "orvex/data.hpp"
#include "support/automation_matchers.hpp"
#include "support/db_providers.hpp"
#include "support/sql_rows.hpp"

namespace orvex::data {
namespace {

using orvex::testing::BackendPid;
using orvex::testing::kPostgres;
using orvex::testing::ScratchDatabase;

sp<Connection> Open(const std::string& connectionString) {
  auto connection = std::make_shared<Connection>();
  connection->ConnectionString = connectionString;
  connection->Open();
  return connection;
}

sp<Recordset> Query(const sp<Connection>& connection, const std::string& sql,
                    int32_t lockType = adLockReadOnly) {
  auto rs = std::make_shared<Recordset>();
  rs->CursorLocation(adUseClient);
  rs->LockType(lockType);
  rs->Open(Variant(sql), Variant(connection), adOpenStatic);
  return rs;
}

Variant Value(const sp<Recordset>& rs, const std::string& field) {
  return rs->Fields()->Item(field)->Value();
}

class PostgresProvider : public ::testing::Test {
 protected:
  void SetUp() override {
    ORVEX_REQUIRE_PROVIDER(kPostgres);
    db_ = std::make_unique<ScratchDatabase>(kPostgres);
  }
  ScratchDatabase& Db() { return *db_; }

 private:
  std::unique_ptr<ScratchDatabase> db_;
};

struct ExpectedColumn {
  const char* name;
  int32_t type, size, precision, scale;
  bool nullable;
};

TEST_F(PostgresProvider, ReportsTheTypeTableFromTheCatalog) {
  Db().RunScript(
      "CREATE TABLE T (Id INTEGER PRIMARY KEY, Qty SMALLINT, Big BIGINT, R REAL, "
      "D DOUBLE PRECISION, Cash MONEY, Amount NUMERIC(12,4), Done BOOLEAN, Stamp TIMESTAMP, "
      "Zoned TIMESTAMPTZ, Day DATE, Hour TIME, Fixed CHAR(3), Code VARCHAR(10), Note TEXT, "
      "Data BYTEA, Must INTEGER NOT NULL, Loose NUMERIC)");
  auto connection = Open(Db().ConnectionString());
  auto rs = Query(connection, "SELECT TOP 1 * FROM T");
  EXPECT_TRUE(rs->EOF_());
  const ExpectedColumn expected[] = {
      {"id", adInteger, 4, 10, 255, false},
      {"qty", adSmallInt, 2, 5, 255, true},
      {"big", adBigInt, 8, 19, 255, true},
      {"r", adSingle, 4, 7, 255, true},
      {"d", adDouble, 8, 15, 255, true},
      {"cash", adCurrency, 8, 19, 255, true},
      {"amount", adNumeric, 19, 12, 4, true},
      {"done", adBoolean, 2, 255, 255, true},
      {"stamp", adDate, 8, 255, 255, true},
      {"zoned", adDate, 8, 255, 255, true},
      {"day", adDBDate, 6, 255, 255, true},
      {"hour", adDBTime, 6, 255, 255, true},
      {"fixed", adChar, 3, 255, 255, true},
      {"code", adVarChar, 10, 255, 255, true},
      {"note", adLongVarWChar, 1073741823, 255, 255, true},
      {"data", adLongVarBinary, 2147483647, 255, 255, true},
      {"must", adInteger, 4, 10, 255, false},
      {"loose", adNumeric, 19, 255, 255, true},
  };
  ASSERT_EQ(rs->Fields()->Count(), static_cast<int32_t>(std::size(expected)));
  for (const auto& column : expected) {
    SCOPED_TRACE(column.name);
    auto field = rs->Fields()->Item(column.name);
    EXPECT_EQ(field->Name(), column.name);
    EXPECT_EQ(field->Type(), column.type);
    EXPECT_EQ(field->DefinedSize(), column.size);
    EXPECT_EQ(field->Precision(), column.precision);
    EXPECT_EQ(field->NumericScale(), column.scale);
    EXPECT_EQ((field->Attributes() & adFldIsNullable) != 0, column.nullable);
  }
  // Field names are found whatever case the caller writes them in.
  EXPECT_EQ(rs->Fields()->Item("CODE")->Name(), "code");
  // A computed column has no table behind it and may be null.
  auto computed = Query(connection, "SELECT Id + 1 AS Next, 'x' AS Label FROM T");
  EXPECT_EQ(computed->Fields()->Item("next")->Type(), adInteger);
  EXPECT_NE(computed->Fields()->Item("label")->Attributes() & adFldIsNullable, 0);
}

TEST_F(PostgresProvider, ValuesTravelBothWaysWithTheirTypes) {
  Db().RunScript(
      "CREATE TABLE V (Id INTEGER PRIMARY KEY, Qty SMALLINT, Big BIGINT, D DOUBLE PRECISION, "
      "Cash MONEY, Amount NUMERIC(12,4), Done BOOLEAN, Stamp TIMESTAMP, Zoned TIMESTAMPTZ, "
      "Day DATE, Hour TIME, Code VARCHAR(20), Note TEXT, Data BYTEA)");
  auto connection = Open(Db().ConnectionString());
  auto command = std::make_shared<Command>();
  command->ActiveConnection = connection;
  command->CommandText =
      "INSERT INTO V (Id, Qty, Big, D, Cash, Amount, Done, Stamp, Zoned, Day, Hour, Code, Note, "
      "Data) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
  SafeArray bytes(0, 4);
  bytes.SetElementType(vbByte);
  for (int32_t i = 0; i < 4; ++i) bytes[i] = Variant(static_cast<uint8_t>(i == 2 ? 0 : 250 + i));
  const Date stamp(2026, 12, 5, 19, 29, 54);
  auto parameters = command->Parameters();
  parameters->Append(command->CreateParameter("Id", adInteger, adParamInput, 4, Variant(1)));
  parameters->Append(
      command->CreateParameter("Qty", adSmallInt, adParamInput, 2, Variant(int16_t{-7})));
  parameters->Append(command->CreateParameter("Big", adBigInt, adParamInput, 8, Variant(40000)));
  parameters->Append(command->CreateParameter("D", adDouble, adParamInput, 8, Variant(0.1)));
  parameters->Append(
      command->CreateParameter("Cash", adCurrency, adParamInput, 8, Variant(-1234.56)));
  parameters->Append(
      command->CreateParameter("Amount", adNumeric, adParamInput, 19, Variant("12345678.1234")));
  parameters->Append(command->CreateParameter("Done", adBoolean, adParamInput, 2, Variant(true)));
  parameters->Append(command->CreateParameter("Stamp", adDate, adParamInput, 8, Variant(stamp)));
  parameters->Append(command->CreateParameter("Zoned", adDate, adParamInput, 8, Variant(stamp)));
  parameters->Append(command->CreateParameter("Day", adDBDate, adParamInput, 6, Variant(stamp)));
  parameters->Append(command->CreateParameter("Hour", adDBTime, adParamInput, 6, Variant(stamp)));
  parameters->Append(
      command->CreateParameter("Code", adVarChar, adParamInput, 20, Variant("it's ?; --")));
  parameters->Append(
      command->CreateParameter("Note", adLongVarWChar, adParamInput, 0, Variant("رسالة خطأ")));
  parameters->Append(
      command->CreateParameter("Data", adLongVarBinary, adParamInput, 4, Variant(bytes)));
  int32_t affected = 0;
  command->Execute(&affected);
  EXPECT_EQ(affected, 1);

  auto rs = Query(connection, "SELECT * FROM V");
  ASSERT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(Value(rs, "qty").VarType(), vbInteger);
  EXPECT_EQ(CLng(Value(rs, "qty")), -7);
  EXPECT_EQ(CDbl(Value(rs, "big")), 40000.0);
  EXPECT_EQ(CDbl(Value(rs, "d")), 0.1);
  EXPECT_EQ(Value(rs, "cash").VarType(), vbCurrency);
  EXPECT_EQ(CDbl(Value(rs, "cash")), -1234.56);
  EXPECT_EQ(CStr(Value(rs, "amount")), CStr(Variant(Decimal::Parse("12345678.1234"))));
  EXPECT_EQ(Value(rs, "done").VarType(), vbBoolean);
  EXPECT_TRUE(CBool(Value(rs, "done")));
  EXPECT_EQ(Value(rs, "stamp").VarType(), vbDate);
  EXPECT_EQ(CDbl(Value(rs, "stamp")), stamp.Value());
  EXPECT_EQ(CDbl(Value(rs, "zoned")), stamp.Value()) << "a local time comes back as it went";
  EXPECT_EQ(CDbl(Value(rs, "day")), Date(2026, 12, 5, 0, 0, 0).Value());
  EXPECT_EQ(CDbl(Value(rs, "hour")), Date(1899, 12, 30, 19, 29, 54).Value());
  EXPECT_EQ(CStr(Value(rs, "code")), "it's ?; --");
  EXPECT_EQ(CStr(Value(rs, "note")), "رسالة خطأ");
  Variant data = Value(rs, "data");
  ASSERT_EQ(data.VarType(), vbArray | vbByte);
  ASSERT_EQ(data.Array().UBound(), 3);
  EXPECT_EQ(data.Array()[0].Byte(), 250);
  EXPECT_EQ(data.Array()[2].Byte(), 0);
  EXPECT_EQ(data.Array()[3].Byte(), 253);
  // What went in is what the server holds, not only what the provider reads back.
  EXPECT_EQ(Db().QueryText("SELECT Stamp FROM V"), "2026-12-05 19:29:54");
  EXPECT_EQ(Db().QueryText("SELECT Done FROM V"), "t");
  EXPECT_EQ(Db().QueryText("SELECT encode(Data, 'hex') FROM V"), "fafb00fd");

  // Nulls both ways.
  command->CommandText = "INSERT INTO V (Id, Stamp, Done) VALUES (?, ?, ?)";
  while (parameters->Count() > 3) parameters->Delete(parameters->Count() - 1);
  parameters->Item(0)->Value = Variant(2);
  parameters->Item(1)->Type = adDate;
  parameters->Item(1)->Value = Variant::Null();
  parameters->Item(2)->Type = adBoolean;
  parameters->Item(2)->Value = Variant(false);
  command->Execute();
  auto second = Query(connection, "SELECT Stamp, Done FROM V WHERE Id = 2");
  EXPECT_TRUE(Value(second, "stamp").IsNull());
  EXPECT_FALSE(CBool(Value(second, "done")));
}

TEST_F(PostgresProvider, TimestampsWithZoneReadAsLocalTime) {
  setenv("TZ", "UTC", 1);
  Db().RunScript(
      "CREATE TABLE Z (Id INTEGER, At TIMESTAMPTZ);"
      "INSERT INTO Z VALUES (1, '2026-01-15 10:00:00+02');"
      "INSERT INTO Z VALUES (2, '2026-01-15 23:30:00.75-05:30');");
  auto rs = Query(Open(Db().ConnectionString()), "SELECT At FROM Z ORDER BY Id");
  EXPECT_EQ(CDbl(Value(rs, "at")), Date(2026, 1, 15, 8, 0, 0).Value());
  rs->MoveNext();
  EXPECT_EQ(CDbl(Value(rs, "at")), Date(2026, 1, 16, 5, 0, 0).Value());
  unsetenv("TZ");
}

TEST_F(PostgresProvider, SendsOnlyOneStatementWithItsMarkersNumbered) {
  Db().RunScript(
      "CREATE TABLE T (Id INTEGER PRIMARY KEY, Name VARCHAR(20));"
      "INSERT INTO T VALUES (1, 'a?'), (2, 'b'), (3, 'c');");
  auto connection = Open(Db().ConnectionString());
  EXPECT_EQ(Query(connection, "SELECT TOP 2 * FROM T ORDER BY Id")->RecordCount(), 2);
  EXPECT_EQ(Query(connection, "select top 1 Name from T where Id > 1 order by Id;")->RecordCount(),
            1);
  // Question marks inside literals, quoted names, dollar quotes and comments are not markers.
  auto command = std::make_shared<Command>();
  command->ActiveConnection = connection;
  command->CommandText =
      "SELECT Name AS \"what?\" FROM T /* ? */ WHERE Name <> '?' AND Name <> $$?$$ "
      "AND Name <> E'\\'?' AND Id = ? -- ?\n";
  command->Parameters()->Append(command->CreateParameter("Id", adInteger, 1, 4, Variant(1)));
  auto rs = command->Execute();
  ASSERT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(CStr(Value(rs, "what?")), "a?");

  for (const char* stacked : {"SELECT 1; DROP TABLE T", "SELECT 1 /* c */ ; -- x\n DROP TABLE T",
                              "SELECT ';'; DELETE FROM T"}) {
    SCOPED_TRACE(stacked);
    EXPECT_AUTOMATION_ERROR(connection->Execute(stacked), DB_E_ERRORSINCOMMAND, "PostgreSQL", "");
  }
  EXPECT_AUTOMATION_ERROR(connection->Execute("  -- nothing\n"), DB_E_ERRORSINCOMMAND, "PostgreSQL",
                          "The command text holds no statement");
  EXPECT_EQ(Db().CountRows("T"), 3);
}

TEST_F(PostgresProvider, MapsServerErrorsToTheNumbersOfTheOtherProviders) {
  Db().RunScript("CREATE TABLE T (Id INTEGER PRIMARY KEY, Name VARCHAR(3) NOT NULL)");
  auto connection = Open(Db().ConnectionString());
  EXPECT_AUTOMATION_ERROR(connection->Execute("SELECT * FROM Missing"), DB_E_NOTABLE, "PostgreSQL",
                          "relation \"missing\" does not exist");
  EXPECT_AUTOMATION_ERROR(connection->Execute("SELEC 1"), DB_E_ERRORSINCOMMAND, "PostgreSQL",
                          "syntax error at or near \"SELEC\"");
  EXPECT_AUTOMATION_ERROR(connection->Execute("SELECT Nope FROM T"), DB_E_ERRORSINCOMMAND,
                          "PostgreSQL", "column \"nope\" does not exist");
  connection->Execute("INSERT INTO T VALUES (1, 'one')");
  EXPECT_AUTOMATION_ERROR(connection->Execute("INSERT INTO T VALUES (1, 'two')"),
                          DB_E_INTEGRITYVIOLATION, "PostgreSQL",
                          "duplicate key value violates unique constraint \"t_pkey\"");
  EXPECT_AUTOMATION_ERROR(connection->Execute("INSERT INTO T (Id) VALUES (2)"),
                          DB_E_INTEGRITYVIOLATION, "PostgreSQL", "");
  EXPECT_AUTOMATION_ERROR(connection->Execute("INSERT INTO T VALUES ('x', 'a')"),
                          DB_E_CANTCONVERTVALUE, "PostgreSQL", "");

  // A statement that fails inside a transaction spoils all of it: the commit says so.
  connection->BeginTrans();
  connection->Execute("INSERT INTO T VALUES (3, 'abc')");
  EXPECT_ANY_THROW(connection->Execute("INSERT INTO T VALUES (3, 'abc')"));
  EXPECT_AUTOMATION_ERROR(connection->CommitTrans(), E_FAIL, "PostgreSQL", "");
  EXPECT_EQ(Db().CountRows("T"), 1);
  connection->Execute("INSERT INTO T VALUES (4, 'ok')");  // the session serves again
  EXPECT_EQ(Db().CountRows("T"), 2);

  auto readOnly = Open(Db().ConnectionString() + ";Options=-c default_transaction_read_only=on");
  EXPECT_TRUE(CBool(readOnly->Property(6)));
  EXPECT_AUTOMATION_ERROR(readOnly->Execute("INSERT INTO T VALUES (5, 'no')"), E_FAIL, "PostgreSQL",
                          "cannot execute INSERT in a read-only transaction");
}

TEST_F(PostgresProvider, ConnectsByKeysOrUriAndReportsWhereItIsConnected) {
  std::string settings = orvex::testing::PostgresServerSettings();
  auto connection = Open(settings);
  EXPECT_EQ(connection->Provider(), "PostgreSQL");
  std::string host = settings.substr(settings.find("Host=") + 5);
  host = host.substr(0, host.find(';'));
  std::string port = settings.substr(settings.find("Port=") + 5);
  port = port.substr(0, port.find(';'));
  EXPECT_EQ(CStr(connection->Property(7)), host + ":" + port + "/postgres");
  EXPECT_EQ(CStr(connection->Properties()->Item("DBMS Name").Value), "PostgreSQL");

  // The URI form: the socket folder goes in the host parameter.
  auto byUri = Open("postgresql:///postgres?host=" + host + "&port=" + port + "&user=postgres");
  EXPECT_EQ(byUri->Provider(), "PostgreSQL");
  EXPECT_EQ(CStr(byUri->Property(7)), host + ":" + port + "/postgres");

  auto refused = std::make_shared<Connection>();
  refused->ConnectionString = "Provider=PostgreSQL;Host=" + host + ";Port=1;User ID=postgres";
  AutomationError error = orvex::testing::CatchAutomationError([&] { refused->Open(); });
  EXPECT_EQ(error.Number, E_FAIL);
  EXPECT_EQ(error.Source, "PostgreSQL");
  EXPECT_NE(error.Description.find("Cannot connect to the PostgreSQL server"), std::string::npos)
      << error.Description;
  EXPECT_NE(error.Description.find(".s.PGSQL.1"), std::string::npos) << error.Description;
  EXPECT_EQ(refused->State(), adStateClosed);
}

TEST_F(PostgresProvider, ReusesALiveSessionAndReplacesAKilledOne) {
  auto connection = Open(Db().ConnectionString());
  int32_t first = BackendPid(connection);
  connection->Close();
  connection->Open();
  EXPECT_EQ(BackendPid(connection), first) << "a closed connection's session is reused";
  connection->Close();

  Db().RunScript("SELECT pg_terminate_backend(" + std::to_string(first) + ")");
  connection->Open();  // the pool notices the dead session when it hands it out
  int32_t second = BackendPid(connection);
  EXPECT_NE(second, first);
  connection->Close();
}

TEST_F(PostgresProvider, PreparedCommandsSurviveOtherStatementsAndAreFreedAtTheEnd) {
  Db().RunScript("CREATE TABLE Log (N INTEGER, Text VARCHAR(20))");
  auto connection = Open(Db().ConnectionString());
  auto prepared = std::make_shared<Command>();
  prepared->ActiveConnection = connection;
  prepared->CommandText = "INSERT INTO Log ( N,Text )  VALUES ( ?,? )";
  prepared->Prepared = true;
  prepared->Parameters()->Append(prepared->CreateParameter("N", adInteger, 1, 4));
  prepared->Parameters()->Append(prepared->CreateParameter("Text", adVarChar, 1, 20));
  for (int32_t n = 1; n <= 3; ++n) {
    prepared->Parameters()->Item(0)->Value = Variant(n);
    prepared->Parameters()->Item(1)->Value = Variant("row " + std::to_string(n));
    prepared->Execute();
    // Other statements on the same session in between take the server's unnamed slot.
    EXPECT_EQ(Query(connection, "SELECT * FROM Log")->RecordCount(), n);
  }
  EXPECT_EQ(Db().QueryText("SELECT string_agg(Text, ',' ORDER BY N) FROM Log"),
            "row 1,row 2,row 3");
  EXPECT_EQ(CLng(Value(Query(connection, "SELECT count(*) AS n FROM pg_prepared_statements"), "n")),
            1);
  prepared.reset();
  EXPECT_EQ(CLng(Value(Query(connection, "SELECT count(*) AS n FROM pg_prepared_statements"), "n")),
            0);
}

TEST_F(PostgresProvider, UpdateWritesThroughToTheBaseTableOfTheColumns) {
  Db().RunScript(
      "CREATE TABLE LanguageStrings (ID INTEGER PRIMARY KEY, English VARCHAR(50), Arabic TEXT);"
      "INSERT INTO LanguageStrings VALUES (1, 'Yes', 'نعم');");
  auto connection = Open(Db().ConnectionString());
  auto rs = Query(connection, "SELECT ID, English as MultilingualString FROM LanguageStrings",
                  adLockPessimistic);
  EXPECT_EQ(rs->Fields()->Item("ID")->Attributes() & adFldIsNullable, 0);
  rs->Fields()->Item("MultilingualString")->Value(Variant("Yes!"));
  rs->Update();
  rs->AddNew();
  rs->Fields()->Item("ID")->Value(Variant(2));
  rs->Fields()->Item("MultilingualString")->Value(Variant("No"));
  rs->Update();
  EXPECT_EQ(Db().QueryText("SELECT English FROM LanguageStrings WHERE ID = 1"), "Yes!");
  EXPECT_EQ(Db().QueryText("SELECT English FROM LanguageStrings WHERE ID = 2"), "No");
  EXPECT_EQ(Db().QueryText("SELECT Arabic FROM LanguageStrings WHERE ID = 1"), "نعم");
}

}  // namespace
}  // namespace orvex::data
