// Inserts while the PostgreSQL server goes away and comes back: every failed insert is an
// AutomationError from the provider, and once the server is back the next insert succeeds on a
// new session. The server is stopped and started with ORVEX_TEST_PG_CTL, so this test must not
// share the server with tests running at the same time.
#include <gtest/gtest.h>

#include <cstdlib>

#include "data_fixture.hpp"
#include "support/automation_matchers.hpp"

namespace orvex::testing {
namespace {

using namespace orvex::data;

void ControlServer(const std::string& action) {
  std::string command = PostgresControlCommand() + " " + action + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// A prepared insert of one number, run once with the number given; the command is kept to
// run again.
sp<Command> Insert(const sp<Connection>& connection, int32_t n) {
  auto command = std::make_shared<Command>();
  command->ActiveConnection = connection;
  command->CommandText = "INSERT INTO Events ( N )  VALUES ( ? )";
  command->Prepared = true;
  command->Parameters()->Append(
      command->CreateParameter("N", adInteger, adParamInput, 4, Variant(n)));
  command->Execute();
  return command;
}

void Execute(const sp<Command>& command, int32_t n) {
  command->Parameters()->Item(0)->Value = Variant(n);
  command->Execute();
}

// One insert on a connection opened for it and closed afterwards, as the text tables and the
// transaction destination work.
void InsertOnce(const std::string& connectionString, int32_t n) {
  auto connection = std::make_shared<Connection>();
  connection->Open(connectionString);
  Insert(connection, n);
  connection->Close();
}

class PostgresOutage : public DataTest {};

TEST_P(PostgresOutage, InsertsFailCleanlyWhileTheServerIsDownAndSucceedOnceItIsBack) {
  if (PostgresControlCommand().empty()) {
    if (RunningInCi()) FAIL() << "ORVEX_TEST_PG_CTL is not set (CI=true)";
    GTEST_SKIP() << "no server control command configured (ORVEX_TEST_PG_CTL)";
  }
  Run({"CREATE TABLE Events (N INTEGER)"});
  // A logger keeps its connection and prepared command between records.
  auto kept = Connect();
  const int32_t keptPid = BackendPid(kept);
  auto keptInsert = Insert(kept, 1);
  InsertOnce(connectionString_, 2);  // leaves an idle session in the pool

  ControlServer("stop -m fast");
  for (int32_t n = 10; n < 14; ++n) {
    SCOPED_TRACE(n);
    const AutomationError onKept = CatchAutomationError([&] { Execute(keptInsert, n); });
    const AutomationError onNew = CatchAutomationError([&] { InsertOnce(connectionString_, n); });
    for (const AutomationError& error : {onKept, onNew})
      EXPECT_EQ(std::to_string(error.Number) + error.Source, std::to_string(E_FAIL) + "PostgreSQL");
    EXPECT_FALSE(onKept.Description.empty());
    EXPECT_TRUE(onNew.Description.starts_with("Cannot connect")) << onNew.Description;
  }
  ControlServer("start");

  InsertOnce(connectionString_, 20);  // the dead idle session is replaced
  kept->Close();
  kept->Open();
  EXPECT_NE(BackendPid(kept), keptPid) << "the kept connection runs on a new session";
  Execute(keptInsert, 21);
  EXPECT_EQ(Rows("SELECT N FROM Events ORDER BY N"), "1\n2\n20\n21\n");
}

INSTANTIATE_TEST_SUITE_P(Providers, PostgresOutage, ::testing::Values(std::string(kPostgres)),
                         ProviderTestName);

}  // namespace
}  // namespace orvex::testing
