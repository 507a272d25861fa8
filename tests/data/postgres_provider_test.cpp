// What only the PostgreSQL provider does: time zones, its dialect, failed transactions, its
// connection strings and its prepared statements. (Its column types are in column_types_test,
// its error numbers in command_test.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "data_fixture.hpp"
#include "support/automation_matchers.hpp"

namespace orvex::testing {
namespace {

using namespace orvex::data;

class PostgresProvider : public DataTest {};

// The server gives each instant with the session's offset, here half an hour off the hour.
TEST_P(PostgresProvider, TimestampsWithZoneReadAsLocalTime) {
  setenv("TZ", "Asia/Kolkata", 1);
  tzset();
  Run({"CREATE TABLE Z (Id INTEGER, At TIMESTAMPTZ)",
       "INSERT INTO Z VALUES (1, '2026-01-15 10:00:00+02')",
       "INSERT INTO Z VALUES (2, '2026-01-15 23:30:00.75-05:30')"});
  EXPECT_EQ(Rows("SELECT At FROM Z ORDER BY Id"),
            CStr(Variant(Date(2026, 1, 15, 13, 30, 0))) + "\n" +
                CStr(Variant(Date(2026, 1, 16, 10, 30, 0))) + "\n");
  unsetenv("TZ");
  tzset();
}

TEST_P(PostgresProvider, SendsOnlyOneStatementWithItsMarkersNumbered) {
  Run({"CREATE TABLE T (Id INTEGER PRIMARY KEY, Name VARCHAR(20))",
       "INSERT INTO T VALUES (1, 'a?'), (2, 'b'), (3, 'c')"});
  auto connection = Connect();
  EXPECT_EQ(connection->Execute("SELECT TOP 2 * FROM T ORDER BY Id")->RecordCount(), 2);
  EXPECT_EQ(
      connection->Execute("select top 1 Name from T where Id > 1 order by Id;")->RecordCount(), 1);
  // Question marks inside literals, quoted names, dollar quotes and comments are not markers.
  auto command = std::make_shared<Command>();
  command->ActiveConnection = connection;
  command->CommandText =
      "SELECT Name AS \"what?\" FROM T /* ? */ WHERE Name <> '?' AND Name <> $$?$$ "
      "AND Name <> E'\\'?' AND Name <> e'\\'?' AND Id = ? -- ?\n";
  command->Parameters()->Append(command->CreateParameter("Id", adInteger, 1, 4, Variant(1)));
  auto rs = command->Execute();
  ASSERT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(CStr(rs->Fields()->Item("what?")->Value()), "a?");

  for (const char* stacked : {"SELECT 1; DROP TABLE T", "SELECT 1 /* c */ ; -- x\n DROP TABLE T",
                              "SELECT ';'; DELETE FROM T"}) {
    SCOPED_TRACE(stacked);
    EXPECT_AUTOMATION_ERROR(connection->Execute(stacked), DB_E_ERRORSINCOMMAND, "PostgreSQL", "");
  }
  EXPECT_AUTOMATION_ERROR(connection->Execute("  -- nothing\n"), DB_E_ERRORSINCOMMAND, "PostgreSQL",
                          "The command text holds no statement");
  EXPECT_EQ(Db().CountRows("T"), 3);
}

TEST_P(PostgresProvider, AFailedStatementSpoilsItsTransactionAndReadOnlyRefusesWrites) {
  Run({"CREATE TABLE T (Id INTEGER PRIMARY KEY, Name VARCHAR(3) NOT NULL)"});
  auto connection = Connect();
  connection->BeginTrans();
  connection->Execute("INSERT INTO T VALUES (3, 'abc')");
  EXPECT_ANY_THROW(connection->Execute("INSERT INTO T VALUES (3, 'abc')"));
  EXPECT_AUTOMATION_ERROR(connection->CommitTrans(), E_FAIL, "PostgreSQL", "");
  EXPECT_EQ(Db().CountRows("T"), 0);
  connection->Execute("INSERT INTO T VALUES (4, 'ok')");  // the session serves again
  EXPECT_EQ(Db().CountRows("T"), 1);

  auto readOnly = std::make_shared<Connection>();
  readOnly->Open(connectionString_ + ";Options=-c default_transaction_read_only=on");
  EXPECT_TRUE(CBool(readOnly->Property(6)));
  EXPECT_AUTOMATION_ERROR(readOnly->Execute("INSERT INTO T VALUES (5, 'no')"), E_FAIL, "PostgreSQL",
                          "cannot execute INSERT in a read-only transaction");
}

TEST_P(PostgresProvider, ConnectsByKeysOrUriAndReportsWhereItIsConnected) {
  const std::string settings = PostgresServerSettings();
  auto field = [&](const std::string& key) {
    const std::string value = settings.substr(settings.find(key + "=") + key.size() + 1);
    return value.substr(0, value.find(';'));
  };
  const std::string where = field("Host") + ":" + field("Port") + "/postgres";
  for (const std::string& form :
       {settings, "postgresql:///postgres?host=" + field("Host") + "&port=" + field("Port") +
                      "&user=postgres"}) {  // in a URI the socket folder is the host parameter
    auto connection = std::make_shared<Connection>();
    connection->Open(form);
    EXPECT_EQ(connection->Provider(), "PostgreSQL");
    EXPECT_EQ(CStr(connection->Property(7)), where);
    EXPECT_EQ(CStr(connection->Properties()->Item("DBMS Name").Value), "PostgreSQL");
  }
  auto refused = std::make_shared<Connection>();
  const AutomationError error = CatchAutomationError([&] {
    refused->Open("Provider=PostgreSQL;Host=" + field("Host") + ";Port=1;User ID=postgres");
  });
  EXPECT_EQ(std::to_string(error.Number) + " " + error.Source,
            std::to_string(E_FAIL) + " PostgreSQL");
  EXPECT_TRUE(error.Description.starts_with("Cannot connect to the PostgreSQL server") &&
              error.Description.find(".s.PGSQL.1") != std::string::npos)
      << error.Description;
  EXPECT_EQ(refused->State(), adStateClosed);
}

TEST_P(PostgresProvider, PreparedCommandsSurviveOtherStatementsAndAreFreedAtTheEnd) {
  Run({"CREATE TABLE Log (N INTEGER, Text VARCHAR(20))"});
  auto connection = Connect();
  auto prepared = std::make_shared<Command>();
  prepared->ActiveConnection = connection;
  prepared->CommandText = "INSERT INTO Log ( N,Text )  VALUES ( ?,? )";
  prepared->Prepared = true;
  prepared->Parameters()->Append(prepared->CreateParameter("N", adInteger, 1, 4));
  prepared->Parameters()->Append(prepared->CreateParameter("Text", adVarChar, 1, 20));
  auto preparedCount = [&] {
    return CLng(connection->Execute("SELECT count(*) FROM pg_prepared_statements")
                    ->Fields()
                    ->Item(0)
                    ->Value());
  };
  for (int32_t n = 1; n <= 3; ++n) {
    prepared->Parameters()->Item(0)->Value = Variant(n);
    prepared->Parameters()->Item(1)->Value = Variant("row " + std::to_string(n));
    prepared->Execute();
    // Other statements on the same session in between take the server's unnamed slot.
    EXPECT_EQ(connection->Execute("SELECT * FROM Log")->RecordCount(), n);
  }
  EXPECT_EQ(Rows("SELECT Text FROM Log ORDER BY N"), "row 1\nrow 2\nrow 3\n");
  EXPECT_EQ(preparedCount(), 1);
  prepared.reset();
  EXPECT_EQ(preparedCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Providers, PostgresProvider, ::testing::Values(std::string(kPostgres)),
                         ProviderTestName);

}  // namespace
}  // namespace orvex::testing
