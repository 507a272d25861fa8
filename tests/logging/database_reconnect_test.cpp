// Every database destination through a server restart and an idle-session timeout set while the
// loggers run: the record after the cut goes to a new session and is stored once. The server is
// stopped and started with ORVEX_TEST_PG_CTL (the suites that use the server take turns).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "orvex/log_error.hpp"
#include "orvex/log_event.hpp"
#include "orvex/log_xaction.hpp"
#include "orvex/modules.hpp"
#include "orvex/text_table.hpp"
#include "support/db_providers.hpp"
#include "support/recording_host.hpp"
#include "support/xaction_records.hpp"

namespace orvex {
namespace {

using testing::kPostgres;

void ControlServer(const std::string& action) {
  std::string command = testing::PostgresControlCommand() + " " + action + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// One logger of each kind and a text table, all on the same database.
struct Destinations {
  explicit Destinations(const std::string& connection) {
    errors->pConnect(connection, "Errors");
    events->pConnect(connection, "Events");
    int16_t sources = 0;
    xactions->pConnect(connection, "Xactions", sources);
    texts->ConnectingString(connection);
  }

  // Record n to every destination; what failed, by name ("" when all stored it).
  std::string Log(int32_t n) {
    std::string failed;
    TErrorObject error;
    error.lNumber = 1000 + n;
    error.strDescription = "error " + std::to_string(n);
    error.strSource = "reconnect";
    errors->LogError("M", "P", error, ltDB);
    if (error.lNumber != 1000 + n) failed += " error:" + error.strDescription;
    try {
      std::string text = "event " + std::to_string(n);
      events->LogEvent(text, ltDB);
    } catch (const AutomationError& e) {
      failed += " event:" + e.Description;
    }
    try {
      SafeArray record = testing::Record({Variant(n)});
      xactions->LogXaction(record, ltDB);
    } catch (const AutomationError& e) {
      failed += " xaction:" + e.Description;
    }
    try {
      texts->TextE("English", 1, "text " + std::to_string(n));
      if (texts->TextE("English", 1) != "text " + std::to_string(n)) failed += " text:not read";
    } catch (const AutomationError& e) {
      failed += " text:" + e.Description;
    }
    return failed;
  }

  std::shared_ptr<CLogError> errors = std::make_shared<CLogError>();
  std::shared_ptr<CLogEvent> events = std::make_shared<CLogEvent>();
  std::shared_ptr<CLogXaction> xactions = std::make_shared<CLogXaction>();
  std::shared_ptr<CTextTable> texts = std::make_shared<CTextTable>();
};

TEST(DatabaseReconnect, EveryDestinationStoresEachRecordOnceAcrossRestartAndIdleTimeout) {
  ORVEX_REQUIRE_PROVIDER(kPostgres);
  if (testing::PostgresControlCommand().empty()) {
    if (testing::RunningInCi()) FAIL() << "ORVEX_TEST_PG_CTL is not set (CI=true)";
    GTEST_SKIP() << "no server control command configured (ORVEX_TEST_PG_CTL)";
  }
  testing::HostGuard host;
  MMain::Main();
  testing::ScratchDatabase db(kPostgres);
  db.RunScript(
      "CREATE TABLE Errors (lErrorNumber INTEGER, strDescription VARCHAR(255), "
      "strSource VARCHAR(255), dDate TIMESTAMP);"
      "CREATE TABLE Events (strEvent VARCHAR(255), dDate TIMESTAMP);"
      "CREATE TABLE Xactions (N INTEGER);"
      "CREATE TABLE LanguageStrings (ID INTEGER PRIMARY KEY, English VARCHAR(255));"
      "INSERT INTO LanguageStrings VALUES (1, 'none')");
  Destinations destinations(db.ConnectionString());

  struct Cut {
    const char* name;
    void (*apply)(const testing::ScratchDatabase&);
  };
  const Cut cuts[] = {
      {"server restart", [](const testing::ScratchDatabase&) { ControlServer("restart -m fast"); }},
      {"idle-session timeout",
       [](const testing::ScratchDatabase& scratch) {
         // The sessions take the setting with their next statement; their next idle spell
         // then ends them.
         scratch.RunScript("ALTER SYSTEM SET idle_session_timeout = 200");
         scratch.RunScript("SELECT pg_reload_conf()");
       }},
  };
  int32_t n = 0;
  for (const Cut& cut : cuts) {
    SCOPED_TRACE(cut.name);
    EXPECT_EQ(destinations.Log(++n), "");
    cut.apply(db);
    EXPECT_EQ(destinations.Log(++n), "");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(destinations.Log(++n), "");
  }
  db.RunScript("ALTER SYSTEM RESET idle_session_timeout");
  db.RunScript("SELECT pg_reload_conf()");

  std::string expected;
  for (int32_t i = 1; i <= n; ++i) expected += (i > 1 ? "," : "") + std::to_string(i);
  EXPECT_EQ(db.QueryText("SELECT string_agg((lErrorNumber - 1000)::text, ',' "
                         "ORDER BY lErrorNumber) FROM Errors"),
            expected);
  EXPECT_EQ(db.QueryText("SELECT string_agg(substr(strEvent, 7), ',' "
                         "ORDER BY substr(strEvent, 7)::int) FROM Events"),
            expected);
  EXPECT_EQ(db.QueryText("SELECT string_agg(N::text, ',' ORDER BY N) FROM Xactions"), expected);
}

}  // namespace
}  // namespace orvex
