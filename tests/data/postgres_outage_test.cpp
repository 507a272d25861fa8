// Inserts while the PostgreSQL server goes away and comes back: every failed insert is an
// AutomationError from the provider, and once the server is back the next insert succeeds on a
// new session. The server is stopped and started with ORVEX_TEST_PG_CTL, so this test must not
// share the server with tests running at the same time.
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
using orvex::testing::PostgresControlCommand;
using orvex::testing::ScratchDatabase;

void ControlServer(const std::string& action) {
  std::string command = PostgresControlCommand() + " " + action + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

sp<Command> InsertCommand(const sp<Connection>& connection) {
  auto command = std::make_shared<Command>();
  command->ActiveConnection = connection;
  command->CommandText = "INSERT INTO Events ( N )  VALUES ( ? )";
  command->Prepared = true;
  command->Parameters()->Append(command->CreateParameter("N", adInteger, adParamInput, 4));
  return command;
}

// One insert on a connection opened for it and closed afterwards, as the text tables and the
// transaction destination work.
void InsertOnce(const std::string& connectionString, int32_t n) {
  auto connection = std::make_shared<Connection>();
  connection->Open(connectionString);
  auto command = InsertCommand(connection);
  command->Parameters()->Item(0)->Value = Variant(n);
  command->Execute();
  connection->Close();
}

TEST(PostgresOutage, InsertsFailCleanlyWhileTheServerIsDownAndSucceedOnceItIsBack) {
  ORVEX_REQUIRE_PROVIDER(kPostgres);
  if (PostgresControlCommand().empty()) {
    if (orvex::testing::RunningInCi()) FAIL() << "ORVEX_TEST_PG_CTL is not set (CI=true)";
    GTEST_SKIP() << "no server control command configured (ORVEX_TEST_PG_CTL)";
  }
  ScratchDatabase db(kPostgres);
  db.RunScript("CREATE TABLE Events (N INTEGER)");

  // A logger keeps its connection and prepared command between records.
  auto kept = std::make_shared<Connection>();
  kept->Open(db.ConnectionString());
  int32_t keptPid = BackendPid(kept);
  auto keptInsert = InsertCommand(kept);
  keptInsert->Parameters()->Item(0)->Value = Variant(1);
  keptInsert->Execute();
  InsertOnce(db.ConnectionString(), 2);  // leaves an idle session in the pool

  ControlServer("stop -m fast");
  int32_t failures = 0;
  for (int32_t n = 10; n < 14; ++n) {
    SCOPED_TRACE(n);
    AutomationError kept_error = orvex::testing::CatchAutomationError([&] {
      keptInsert->Parameters()->Item(0)->Value = Variant(n);
      keptInsert->Execute();
    });
    EXPECT_EQ(kept_error.Number, E_FAIL);
    EXPECT_EQ(kept_error.Source, "PostgreSQL");
    EXPECT_FALSE(kept_error.Description.empty());
    AutomationError fresh_error =
        orvex::testing::CatchAutomationError([&] { InsertOnce(db.ConnectionString(), n); });
    EXPECT_EQ(fresh_error.Number, E_FAIL);
    EXPECT_EQ(fresh_error.Source, "PostgreSQL");
    EXPECT_NE(fresh_error.Description.find("Cannot connect"), std::string::npos)
        << fresh_error.Description;
    ++failures;
  }
  ControlServer("start");
  EXPECT_EQ(failures, 4);

  InsertOnce(db.ConnectionString(), 20);  // the dead idle session is replaced
  kept->Close();
  kept->Open();
  EXPECT_NE(BackendPid(kept), keptPid) << "the kept connection runs on a new session";
  keptInsert->Parameters()->Item(0)->Value = Variant(21);
  keptInsert->Execute();
  EXPECT_EQ(db.QueryText("SELECT string_agg(N::text, ',' ORDER BY N) FROM Events"), "1,2,20,21");
}

}  // namespace
}  // namespace orvex::data
