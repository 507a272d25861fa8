// Commands and connections: prepared statements bound by position, the errors of bad commands,
// transactions, and the pooled sessions behind connections.
#include <gtest/gtest.h>

#include <filesystem>

#include "data_fixture.hpp"
#include "platform/data/connection_access.hpp"
#include "platform/data/connection_string.hpp"
#include "platform/data/session_pool.hpp"
#include "support/automation_matchers.hpp"

namespace orvex::testing {
namespace {

using namespace orvex::data;

class CommandTest : public DataTest {
 protected:
  // The error logger's insert: parameters named unlike the columns, bound by position.
  sp<Command> InsertCommand(const sp<Connection>& connection) {
    Run(
        {"CREATE TABLE IF NOT EXISTS Errors (lErrorNumber INTEGER, strDescription VARCHAR(255), "
         "strSource VARCHAR(255), dDate TIMESTAMP)"});
    auto command = std::make_shared<Command>();
    command->ActiveConnection = connection;
    command->CommandType = adCmdText;
    command->CommandText =
        "INSERT INTO Errors ( lErrorNumber, strDescription, strSource,dDate )  VALUES ( ?, ?,?,? )";
    command->Prepared = true;
    for (const auto& [name, type, size] : {std::tuple{"lErrorNumber", adInteger, 4},
                                           {"strDescription", adVarChar, 255},
                                           {"strErrorSource", adVarChar, 255},
                                           {"dErrorDate", adDate, 8}})
      command->Parameters()->Append(command->CreateParameter(name, type, adParamInput, size));
    return command;
  }
};

TEST_P(CommandTest, PreparedInsertBindsEachMarkerToTheParameterInTheSamePosition) {
  auto connection = Connect();
  auto command = InsertCommand(connection);
  auto parameters = command->Parameters();
  const Variant stamp(Date(2026, 12, 5, 19, 29, 54));
  parameters->Item("LERRORNUMBER")->Value = Variant(int32_t{1001});
  parameters->Item("strDescription")->Value = Variant("disk full");
  parameters->Item("strErrorSource")->Value = Variant("host:Module.Proc");
  parameters->Item("dErrorDate")->Value = stamp;
  int32_t affected = 0;
  command->Execute(&affected);
  EXPECT_EQ(affected, 1);
  parameters->Item(0)->Value = Variant(static_cast<int32_t>(0x80004005u));
  parameters->Item(1)->Value = Variant(" ");
  parameters->Item(3)->Value = Variant::Null();
  command->Execute();
  EXPECT_AUTOMATION_ERROR(parameters->Item("dDate"), adErrItemNotFound, "ORVEX.Data.Parameters",
                          "");
  EXPECT_AUTOMATION_ERROR(parameters->Item(4), adErrItemNotFound, "", "");
  EXPECT_EQ(Rows("SELECT * FROM Errors ORDER BY lErrorNumber DESC"),
            "1001|disk full|host:Module.Proc|" + CStr(stamp) +
                "\n-2147467259| |host:Module.Proc|Null\n");  // the source kept from the last run
}

TEST_P(CommandTest, RefusesToRunWithoutConnectionTextOrMatchingParameters) {
  auto command = std::make_shared<Command>();
  command->CommandText = "SELECT * FROM Errors";
  EXPECT_AUTOMATION_ERROR(command->Execute(), adErrInvalidConnection, "ORVEX.Data.Command",
                          "The connection cannot be used to perform this operation. It is either "
                          "closed or invalid in this context.");
  auto connection = Connect();
  command->ActiveConnection = connection;
  command->CommandText = "";
  EXPECT_AUTOMATION_ERROR(command->Execute(), static_cast<int32_t>(0x80040E0Cu), "", "");

  auto insert = InsertCommand(connection);
  insert->Parameters()->Delete(3);
  EXPECT_AUTOMATION_ERROR(insert->Execute(), static_cast<int32_t>(0x80040E10u), "", "");
  insert = InsertCommand(connection);
  insert->Parameters()->Item(0)->Value = Variant("abc");
  EXPECT_AUTOMATION_ERROR(insert->Execute(), adErrDataConversion, "ORVEX.Data.Command", "");

  connection->Close();
  command->CommandText = "SELECT * FROM Errors";
  EXPECT_AUTOMATION_ERROR(command->Execute(), adErrInvalidConnection, "", "");
}

TEST_P(CommandTest, ProviderErrorsCarryOleDbNumbersAndTheProviderMessage) {
  Run({"CREATE TABLE T (Id INTEGER PRIMARY KEY, Name VARCHAR(10) NOT NULL)",
       "INSERT INTO T VALUES (1, 'one')"});
  auto connection = Connect();
  const struct {
    const char* sql;
    int32_t number;
    const char* postgresMessage;  // the server's own, passed on
  } cases[] = {
      // Stacked statements are refused before anything runs.
      {"SELECT ID FROM T; DROP TABLE T", DB_E_ERRORSINCOMMAND, ""},
      {"SELECT ID FROM T; /* then */ DROP TABLE T", DB_E_ERRORSINCOMMAND, ""},
      {"SELECT * FROM Missing", DB_E_NOTABLE, "relation \"missing\" does not exist"},
      {"SELEC * FROM T", DB_E_ERRORSINCOMMAND, "syntax error at or near \"SELEC\""},
      {"SELECT Nope FROM T", DB_E_ERRORSINCOMMAND, "column \"nope\" does not exist"},
      {"INSERT INTO T VALUES (1, 'again')", DB_E_INTEGRITYVIOLATION,
       "duplicate key value violates unique constraint \"t_pkey\""},
      {"INSERT INTO T (Id) VALUES (2)", DB_E_INTEGRITYVIOLATION, ""},
      {"INSERT INTO T VALUES ('x', 'a')", DB_E_CANTCONVERTVALUE, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    EXPECT_AUTOMATION_ERROR(connection->Execute(c.sql), c.number, Provider(),
                            Db().IsPostgres() ? c.postgresMessage : "");
  }
  // A trailing semicolon and comment are still one statement.
  EXPECT_EQ(connection->Execute("SELECT * FROM T; -- all")->RecordCount(), 1);
}

TEST_P(CommandTest, TransactionsCommitOrRollBackTheirRows) {
  Run({"CREATE TABLE T (A INTEGER)"});
  auto connection = Connect();
  EXPECT_AUTOMATION_ERROR(connection->CommitTrans(), XACT_E_NOTRANSACTION, "", "");
  EXPECT_EQ(connection->BeginTrans(), 1);
  EXPECT_AUTOMATION_ERROR(connection->BeginTrans(), adErrIllegalOperation, "", "");
  connection->Execute("INSERT INTO T VALUES (1)");
  connection->RollbackTrans();
  connection->BeginTrans();
  connection->Execute("INSERT INTO T VALUES (2)");
  connection->CommitTrans();
  connection->BeginTrans();
  connection->Execute("INSERT INTO T VALUES (3)");
  connection->Close();  // an open transaction ends with the connection, rolled back
  EXPECT_EQ(Rows("SELECT A FROM T"), "2\n");
}

TEST_P(CommandTest, APooledSessionIsReusedUntilItGoesStale) {
  Run({"CREATE TABLE T (A INTEGER)"});
  const auto settings = internal::ConnectionString::Parse(connectionString_);
  auto connection = Connect();
  const auto session = internal::ConnectionAccess::SessionOf(*connection);
  const std::string endSession =
      Db().IsPostgres()
          ? "SELECT pg_terminate_backend(" + std::to_string(BackendPid(connection)) + ")"
          : "";
  connection->Close();
  EXPECT_EQ(internal::IdleSessionCount(settings), 1u);
  connection->Open();
  EXPECT_EQ(internal::ConnectionAccess::SessionOf(*connection), session)
      << "Open after Close reuses the live session";
  EXPECT_EQ(internal::IdleSessionCount(settings), 0u);
  connection->Close();

  // Gone behind the pool's back (the server ended it, or the file was replaced): the next
  // statement runs on a new session, on PostgreSQL the same statement run again.
  if (Db().IsPostgres())
    Db().RunScript(endSession);
  else
    std::filesystem::remove(Db().Location());
  connection->Open();
  if (Db().IsPostgres())
    EXPECT_EQ(connection->Execute("SELECT * FROM T")->RecordCount(), 0);
  else
    EXPECT_AUTOMATION_ERROR(connection->Execute("SELECT * FROM T"), DB_E_NOTABLE, "SQLite", "");
  EXPECT_NE(internal::ConnectionAccess::SessionOf(*connection), session);
}

ORVEX_INSTANTIATE_DATABASE_TESTS(CommandTest);

}  // namespace
}  // namespace orvex::testing
