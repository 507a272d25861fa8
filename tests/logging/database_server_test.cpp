// The loggers' database destinations on a PostgreSQL server: the sessions that logging threads
// hold; every destination through a server restart and an idle-session timeout; and the spool
// folder through an outage in the middle of a run of several processes. The server is stopped and
// started with ORVEX_TEST_PG_CTL (the suites that use the server take turns).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <barrier>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "orvex/log_error.hpp"
#include "orvex/log_event.hpp"
#include "orvex/log_xaction.hpp"
#include "orvex/modules.hpp"
#include "orvex/text_table.hpp"
#include "support/db_providers.hpp"
#include "support/recording_host.hpp"
#include "support/temp_dir.hpp"
#include "support/xaction_records.hpp"

namespace orvex {
namespace {

using testing::kPostgres;

void ControlServer(const std::string& action) {
  std::string command = testing::PostgresControlCommand() + " " + action + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Skips the test (fails it under CI=true) without a server, or without the command that stops
// and starts it.
#define REQUIRE_CONTROLLED_SERVER()                                                 \
  ORVEX_REQUIRE_PROVIDER(kPostgres);                                                \
  if (testing::PostgresControlCommand().empty()) {                                  \
    if (testing::RunningInCi()) FAIL() << "ORVEX_TEST_PG_CTL is not set (CI=true)"; \
    GTEST_SKIP() << "no server control command configured (ORVEX_TEST_PG_CTL)";     \
  }

constexpr const char* kLoggerTables =
    "CREATE TABLE Errors (lErrorNumber INTEGER, strDescription VARCHAR(255), "
    "strSource VARCHAR(255), dDate TIMESTAMP);"
    "CREATE TABLE Events (strEvent VARCHAR(255), dDate TIMESTAMP);"
    "CREATE TABLE Xactions (N INTEGER);";

// One logger of each kind and, when asked for, a text table, all on the same database.
struct Destinations {
  Destinations(const std::string& connection, bool withTexts) {
    errors->pConnect(connection, "Errors");
    events->pConnect(connection, "Events");
    int16_t sources = 0;
    xactions->pConnect(connection, "Xactions", sources);
    if (withTexts) texts = std::make_shared<CTextTable>();
    if (texts) texts->ConnectingString(connection);
  }

  // Record n to every destination; what failed, by name ("" when all stored it).
  std::string Log(int32_t n) {
    std::string failed, tag = std::to_string(n);
    TErrorObject error{1000 + n, "error " + tag, 0, "", 0, "reconnect"};
    errors->LogError("M", "P", error, ltDB);
    if (error.lNumber != 1000 + n) failed += " error:" + error.strDescription;
    try {
      std::string text = "event " + tag;
      events->LogEvent(text, ltDB);
      SafeArray record = testing::Record({Variant(n)});
      xactions->LogXaction(record, ltDB);
      if (texts) texts->TextE("English", 1, "text " + tag);
      if (texts && texts->TextE("English", 1) != "text " + tag) failed += " text:not read";
    } catch (const AutomationError& e) {
      failed += " " + e.Source + ":" + e.Description;
    }
    return failed;
  }

  std::shared_ptr<CLogError> errors = std::make_shared<CLogError>();
  std::shared_ptr<CLogEvent> events = std::make_shared<CLogEvent>();
  std::shared_ptr<CLogXaction> xactions = std::make_shared<CLogXaction>();
  std::shared_ptr<CTextTable> texts;
};

constexpr int32_t kThreads = 6;

// The loggers of a thread share one session, and a session left idle is closed soon after, while
// the loggers live on; counted by the server itself.
TEST(DatabaseConnections, ThreadsHoldOneSessionEachWhileLoggingAndNoneOnceIdle) {
  ORVEX_REQUIRE_PROVIDER(kPostgres);
  testing::ScratchDatabase db(kPostgres);
  db.RunScript(kLoggerTables);
  const std::string name = "orvex-count-" + std::to_string(getpid());
  const std::string connection = db.ConnectionString() + ";Application Name=" + name;
  const std::string countQuery =
      "SELECT count(*) FROM pg_stat_activity WHERE application_name = '" + name + "'";

  std::barrier logged(kThreads + 1), idleCounted(kThreads + 1);
  std::vector<std::thread> threads;
  for (int32_t t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      testing::HostGuard host;
      MMain::Main();
      Destinations destinations(connection, false);
      for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(destinations.Log(t * 100 + i), "");
      logged.arrive_and_wait();
      idleCounted.arrive_and_wait();  // the loggers live until the idle count is taken
    });
  logged.arrive_and_wait();
  long whileLogging = std::stol(db.QueryText(countQuery));
  EXPECT_GE(whileLogging, 1);
  EXPECT_LE(whileLogging, kThreads) << "three loggers per thread share the thread's session";
  std::this_thread::sleep_for(std::chrono::milliseconds(3000));
  EXPECT_EQ(db.QueryText(countQuery), "0") << "idle sessions are closed after 2 s";
  idleCounted.arrive_and_wait();
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(db.CountRows("Errors"), kThreads * 5);
  EXPECT_EQ(db.CountRows("Xactions"), kThreads * 5);
}

// "0,1,...,last" (from `first`), as string_agg lists the numbers stored.
std::string Numbers(int32_t first, int32_t last) {
  std::string text;
  for (int32_t n = first; n <= last; ++n) text += (n > first ? "," : "") + std::to_string(n);
  return text;
}

// Every database destination through a server restart and an idle-session timeout set while
// the loggers run: the record after the cut goes to a new session and is stored once.
TEST(DatabaseReconnect, EveryDestinationStoresEachRecordOnceAcrossRestartAndIdleTimeout) {
  REQUIRE_CONTROLLED_SERVER();
  testing::HostGuard host;
  MMain::Main();
  testing::ScratchDatabase db(kPostgres);
  db.RunScript(std::string(kLoggerTables) +
               "CREATE TABLE LanguageStrings (ID INTEGER PRIMARY KEY, English VARCHAR(255));"
               "INSERT INTO LanguageStrings VALUES (1, 'none')");
  Destinations destinations(db.ConnectionString(), true);
  int32_t n = 0;
  for (const char* cut : {"server restart", "idle-session timeout"}) {
    SCOPED_TRACE(cut);
    EXPECT_EQ(destinations.Log(++n), "");
    if (n == 1) {
      ControlServer("restart -m fast");
    } else {  // the sessions take the setting with their next statement, then idle out
      db.RunScript("ALTER SYSTEM SET idle_session_timeout = 200");
      db.RunScript("SELECT pg_reload_conf()");
    }
    EXPECT_EQ(destinations.Log(++n), "");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(destinations.Log(++n), "");
  }
  db.RunScript("ALTER SYSTEM RESET idle_session_timeout");
  db.RunScript("SELECT pg_reload_conf()");
  for (const char* query :
       {"SELECT string_agg((lErrorNumber - 1000)::text, ',' ORDER BY lErrorNumber) FROM Errors",
        "SELECT string_agg(substr(strEvent, 7), ',' ORDER BY substr(strEvent, 7)::int) FROM Events",
        "SELECT string_agg(N::text, ',' ORDER BY N) FROM Xactions"})
    EXPECT_EQ(db.QueryText(query), Numbers(1, n)) << query;
}

// Loggers with a spool folder while the server is stopped in the middle of a run of several
// processes: the records of the outage fail (the caller is told) but are kept, and once the
// server is back every record is in its table once, in each process's order. The error logger
// keeps its connection; the transaction logger opens one per record, and so meets the outage
// at the open. The first process ends during the outage: the next process to log replays what
// it left.
constexpr int32_t kProcesses = 4;
constexpr int32_t kPerPhase = 8;

// A byte through a pipe, to move the processes from one phase to the next.
void Signal(int fd) { ASSERT_EQ(write(fd, "x", 1), 1); }
bool Await(int fd) {
  char byte = 0;
  return read(fd, &byte, 1) == 1;
}

// Logs kPerPhase records numbered from `first` with each logger; the number of records that
// failed. Even processes log the error first, odd ones the transaction, so that each logger is
// the first to reach the server again after the outage (and to replay the spool) somewhere.
int32_t LogPhase(CLogError& errors, CLogXaction& xactions, int32_t process, int32_t first) {
  int32_t failed = 0;
  const std::string source = "spool" + std::to_string(process) + "x";
  for (int32_t n = first; n < first + kPerPhase; ++n)
    for (int32_t turn = 0; turn < 2; ++turn)
      if ((turn + process) % 2 == 0) {
        TErrorObject error{n, "spooled", 0, "", 0, source};
        errors.LogError("M", "P", error, ltDB);
        failed += error.lNumber != n;
      } else {
        SafeArray record = SafeArray::Of(1, {Variant(n), Variant(source)});
        try {
          xactions.LogXaction(record, ltDB);
        } catch (const AutomationError&) {
          ++failed;
        }
      }
  return failed;
}

TEST(DatabaseSpool, RecordsOfAnOutageReachTheTableOnceAndInOrderPerProcess) {
  REQUIRE_CONTROLLED_SERVER();
  testing::ScratchDatabase db(kPostgres);
  // The transaction logger fills every column it finds: its rows are numbered behind a view.
  db.RunScript(
      "CREATE TABLE Errors (Seq SERIAL, lErrorNumber INTEGER, strDescription VARCHAR(255), "
      "strSource VARCHAR(255), dDate TIMESTAMP);"
      "CREATE TABLE XactionRows (Seq SERIAL, N INTEGER, Src VARCHAR(255));"
      "CREATE VIEW Xactions AS SELECT N, Src FROM XactionRows");
  testing::TempDir spool;
  const std::string connection = db.ConnectionString() + ";Spool Folder=" + spool.path().string();

  int toChildren[2], toParent[2];
  ASSERT_EQ(pipe(toChildren), 0);
  ASSERT_EQ(pipe(toParent), 0);
  std::vector<pid_t> children;
  for (int32_t p = 0; p < kProcesses; ++p) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      testing::HostGuard host;
      MMain::Main();
      CLogError errors;
      errors.pConnect(connection, "Errors");
      CLogXaction xactions;
      int16_t sourceCount = 0;
      xactions.pConnect(connection, "Xactions", sourceCount);
      int32_t before = LogPhase(errors, xactions, p, 0);
      Signal(toParent[1]);
      if (!Await(toChildren[0])) _exit(90);  // the server is down
      int32_t during = LogPhase(errors, xactions, p, kPerPhase);
      Signal(toParent[1]);
      if (p == 0) _exit(before + (during == 2 * kPerPhase ? 0 : 50));
      if (!Await(toChildren[0])) _exit(91);  // the server is back
      int32_t after = LogPhase(errors, xactions, p, 2 * kPerPhase);
      _exit(before + after + (during == 2 * kPerPhase ? 0 : 50));
    }
    children.push_back(child);
  }
  auto allChildren = [&](auto step) {
    for (int32_t p = 0; p < kProcesses; ++p) step();
  };
  allChildren([&] { ASSERT_TRUE(Await(toParent[0])); });
  ControlServer("stop -m fast");
  allChildren([&] { Signal(toChildren[1]); });
  allChildren([&] { ASSERT_TRUE(Await(toParent[0])); });
  ControlServer("start");
  allChildren([&] { Signal(toChildren[1]); });
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "records failing while the server was up, +50 when the outage's did not all fail";
  }

  {
    testing::HostGuard host;
    MMain::Main();
    CLogError next;
    next.pConnect(connection, "Errors");
    TErrorObject error{-1, "after", 0, "", 0, "next"};
    EXPECT_EQ(next.LogError("M", "P", error, ltDB), etwelrSERROR);
  }
  // Per table, the numbers in the order of Seq of the rows whose source matches.
  for (const std::string query :
       {"SELECT string_agg(lErrorNumber::text, ',' ORDER BY Seq) FROM Errors WHERE strSource LIKE",
        "SELECT string_agg(N::text, ',' ORDER BY Seq) FROM XactionRows WHERE Src LIKE"})
    for (int32_t p = 0; p < kProcesses; ++p)
      EXPECT_EQ(db.QueryText(query + " '%spool" + std::to_string(p) + "x%'"),
                Numbers(0, (p == 0 ? 2 : 3) * kPerPhase - 1))
          << query << ", process " << p;
  EXPECT_TRUE(std::filesystem::is_empty(spool.path().string())) << "the spool files are removed";
}

// A spooled record the database refuses when it is back (here a check added during the outage)
// does not block the spool: its file is set aside as .rejected, and the next record is stored.
TEST(DatabaseSpool, ARecordRefusedOnReplayIsSetAsideAndTheNextIsStored) {
  REQUIRE_CONTROLLED_SERVER();
  testing::ScratchDatabase db(kPostgres);
  db.RunScript(kLoggerTables);
  testing::TempDir spool;
  testing::HostGuard host;
  MMain::Main();
  CLogError errors;
  errors.pConnect(db.ConnectionString() + ";Spool Folder=" + spool.path().string(), "Errors");
  auto log = [&](int32_t n) {
    TErrorObject error{n, "spooled", 0, "", 0, "spool"};
    errors.LogError("M", "P", error, ltDB);
    return error.lNumber == n;
  };
  EXPECT_TRUE(log(1));
  ControlServer("stop -m fast");
  EXPECT_FALSE(log(2));  // fails, and is kept in the spool
  // A piece whose length runs past the end of the file reads as the tail of a torn write.
  for (const auto& entry : std::filesystem::directory_iterator(spool.path()))
    std::ofstream(entry.path(), std::ios::app) << "R 1 18446744073709551615\nE\n";
  ControlServer("start");
  db.RunScript("ALTER TABLE Errors ADD CHECK (lErrorNumber <> 2)");
  EXPECT_TRUE(log(3));
  EXPECT_EQ(db.QueryText("SELECT string_agg(lErrorNumber::text, ',') FROM Errors"), "1,3");
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(spool.path()))
    left.push_back(entry.path().extension().string());
  EXPECT_EQ(left, std::vector<std::string>{".rejected"});
}

}  // namespace
}  // namespace orvex
