// Loggers with a spool folder while the server is stopped in the middle of a run of several
// processes: the records of the outage fail (the caller is told) but are kept, and once the
// server is back every record is in its table once, in each process's order. The error logger
// keeps its connection; the transaction logger opens one per record, and so meets the outage
// at the open.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "orvex/log_error.hpp"
#include "orvex/log_xaction.hpp"
#include "orvex/modules.hpp"
#include "support/db_providers.hpp"
#include "support/recording_host.hpp"
#include "support/temp_dir.hpp"

namespace orvex {
namespace {

using testing::kPostgres;

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
  for (int32_t n = first; n < first + kPerPhase; ++n) {
    auto logError = [&] {
      TErrorObject error;
      error.lNumber = n;
      error.strDescription = "spooled";
      error.strSource = source;
      errors.LogError("M", "P", error, ltDB);
      if (error.lNumber != n) ++failed;
    };
    auto logXaction = [&] {
      SafeArray record = SafeArray::Of(1, {Variant(n), Variant(source)});
      try {
        xactions.LogXaction(record, ltDB);
      } catch (const AutomationError&) {
        ++failed;
      }
    };
    if (process % 2 == 0) logError();
    logXaction();
    if (process % 2 == 1) logError();
  }
  return failed;
}

TEST(DatabaseSpool, RecordsOfAnOutageReachTheTableOnceAndInOrderPerProcess) {
  ORVEX_REQUIRE_PROVIDER(kPostgres);
  if (testing::PostgresControlCommand().empty()) {
    if (testing::RunningInCi()) FAIL() << "ORVEX_TEST_PG_CTL is not set (CI=true)";
    GTEST_SKIP() << "no server control command configured (ORVEX_TEST_PG_CTL)";
  }
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
      (void)!write(toParent[1], "x", 1);
      if (!Await(toChildren[0])) _exit(90);  // the server is down
      int32_t during = LogPhase(errors, xactions, p, kPerPhase);
      (void)!write(toParent[1], "x", 1);
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
  std::string control = testing::PostgresControlCommand();
  ASSERT_EQ(std::system((control + " stop -m fast >/dev/null 2>&1").c_str()), 0);
  allChildren([&] { Signal(toChildren[1]); });
  allChildren([&] { ASSERT_TRUE(Await(toParent[0])); });
  ASSERT_EQ(std::system((control + " start >/dev/null 2>&1").c_str()), 0);
  allChildren([&] { Signal(toChildren[1]); });
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "records failing while the server was up, +50 when the outage's did not all fail";
  }

  std::string expected;
  for (int32_t n = 0; n < 3 * kPerPhase; ++n) expected += (n > 0 ? "," : "") + std::to_string(n);
  // Per table, the numbers in the order of Seq of the rows whose source matches.
  for (const std::string query :
       {"SELECT string_agg(lErrorNumber::text, ',' ORDER BY Seq) FROM Errors WHERE strSource LIKE",
        "SELECT string_agg(N::text, ',' ORDER BY Seq) FROM XactionRows WHERE Src LIKE"})
    for (int32_t p = 0; p < kProcesses; ++p)
      EXPECT_EQ(db.QueryText(query + " '%spool" + std::to_string(p) + "x%'"), expected)
          << query << ", process " << p;
  EXPECT_TRUE(std::filesystem::is_empty(spool.path().string())) << "the spool files are removed";
}

}  // namespace
}  // namespace orvex
