// Commands: prepared statements bound by position, and the errors of bad commands.
#include <gtest/gtest.h>

#include "data_fixture.hpp"
#include "support/automation_matchers.hpp"

namespace orvex::testing {
namespace {

using namespace orvex::data;

class CommandTest : public DataTest {
 protected:
  sp<Command> InsertCommand(const sp<Connection>& connection) {
    auto command = std::make_shared<Command>();
    command->ActiveConnection = connection;
    command->CommandType = adCmdText;
    command->CommandText =
        "INSERT INTO Errors ( lErrorNumber, strDescription, strSource,dDate )  VALUES ( ?, "
        "?,?,? )";
    command->Prepared = true;
    auto parameters = command->Parameters();
    parameters->Append(
        command->CreateParameter("lErrorNumber", adInteger, adParamInput, 4, Variant(int16_t{0})));
    parameters->Append(
        command->CreateParameter("strDescription", adVarChar, adParamInput, 255, Variant("")));
    parameters->Append(
        command->CreateParameter("strErrorSource", adVarChar, adParamInput, 255, Variant("")));
    parameters->Append(
        command->CreateParameter("dErrorDate", adDate, adParamInput, 8, Variant(int16_t{0})));
    return command;
  }
};

TEST_P(CommandTest, PreparedInsertBindsEachMarkerToTheParameterInTheSamePosition) {
  Run(
      {"CREATE TABLE Errors (lErrorNumber INTEGER, strDescription VARCHAR(255), "
       "strSource VARCHAR(255), dDate TIMESTAMP)"});
  auto connection = Connect();
  auto command = InsertCommand(connection);
  auto parameters = command->Parameters();
  parameters->Item("LERRORNUMBER")->Value = Variant(int32_t{1001});
  parameters->Item("strDescription")->Value = Variant("disk full");
  parameters->Item("strErrorSource")->Value = Variant("host:Module.Proc");
  parameters->Item("dErrorDate")->Value = Variant(Date(2026, 12, 5, 19, 29, 54));
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

  auto rs = Query(
      "SELECT lErrorNumber, strDescription, strSource, dDate FROM Errors ORDER BY "
      "lErrorNumber DESC");
  ASSERT_EQ(rs->RecordCount(), 2);
  auto fields = rs->Fields();
  EXPECT_EQ(CLng(fields->Item(0)->Value()), 1001);
  EXPECT_EQ(CStr(fields->Item(1)->Value()), "disk full");
  EXPECT_EQ(CStr(fields->Item(2)->Value()), "host:Module.Proc");
  EXPECT_EQ(fields->Item(3)->Value().DateValue(), Date(2026, 12, 5, 19, 29, 54));
  rs->MoveNext();
  EXPECT_EQ(CLng(fields->Item("lerrornumber")->Value()), static_cast<int32_t>(0x80004005u));
  EXPECT_EQ(CStr(fields->Item(1)->Value()), " ");
  EXPECT_EQ(CStr(fields->Item(2)->Value()), "host:Module.Proc") << "kept from the last run";
  EXPECT_TRUE(fields->Item(3)->Value().IsNull());
}

TEST_P(CommandTest, RefusesToRunWithoutConnectionTextOrMatchingParameters) {
  Run(
      {"CREATE TABLE Errors (lErrorNumber INTEGER, strDescription VARCHAR(255), "
       "strSource VARCHAR(255), dDate TIMESTAMP)"});
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
  std::string provider = GetParam();
  // Stacked statements through a table name are refused before anything runs.
  EXPECT_AUTOMATION_ERROR(connection->Execute("SELECT ID FROM T; DROP TABLE T"),
                          DB_E_ERRORSINCOMMAND, provider, "");
  EXPECT_EQ(Query("SELECT * FROM T")->RecordCount(), 1);
  EXPECT_AUTOMATION_ERROR(connection->Execute("SELECT * FROM Missing"), DB_E_NOTABLE, provider, "");
  EXPECT_AUTOMATION_ERROR(connection->Execute("SELEC * FROM T"), DB_E_ERRORSINCOMMAND, provider,
                          "");
  EXPECT_AUTOMATION_ERROR(connection->Execute("SELECT Nope FROM T"), DB_E_ERRORSINCOMMAND, provider,
                          "");
  EXPECT_AUTOMATION_ERROR(connection->Execute("INSERT INTO T VALUES (1, 'again')"),
                          DB_E_INTEGRITYVIOLATION, provider, "");
  EXPECT_AUTOMATION_ERROR(connection->Execute("INSERT INTO T (Id) VALUES (2)"),
                          DB_E_INTEGRITYVIOLATION, provider, "");
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
  auto rs = Query("SELECT A FROM T");
  ASSERT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(CLng(rs->Fields()->Item(0)->Value()), 2);
}

ORVEX_INSTANTIATE_DATABASE_TESTS(CommandTest);

}  // namespace
}  // namespace orvex::testing
