// Many writers on one SQLite file with the library's defaults: 8 processes, then 8 threads, all
// logging errors at once. No record fails or is lost, and no call waits anywhere near the busy
// time.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "orvex/log_error.hpp"
#include "orvex/modules.hpp"
#include "support/recording_host.hpp"
#include "support/sql_rows.hpp"
#include "support/temp_dir.hpp"

namespace orvex {
namespace {

constexpr int32_t kWriters = 8;
constexpr int32_t kRecordsEach = 40;

struct Outcome {
  int32_t failures = 0;
  std::chrono::milliseconds longestCall{0};
};

// Logs the writer's records to the table; the numbers are writer * 1000 + record.
Outcome LogRecords(const std::string& connection, int32_t writer) {
  auto logger = std::make_shared<CLogError>();
  logger->pConnect(connection, "Errors");
  Outcome outcome;
  for (int32_t i = 0; i < kRecordsEach; ++i) {
    TErrorObject error{
        writer * 1000 + i, "contention", 0, "", 0, "writer " + std::to_string(writer)};
    auto started = std::chrono::steady_clock::now();
    logger->LogError("M", "P", error, ltDB);
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    outcome.longestCall = std::max(outcome.longestCall, took);
    if (error.lNumber != writer * 1000 + i) ++outcome.failures;
  }
  return outcome;
}

TEST(SqliteContention, ProcessesAndThreadsLoseNoRecordAndWaitBriefly) {
  testing::HostGuard host;
  MMain::Main();
  testing::TempDir dir;
  const std::string connection = "Provider=SQLite;Data Source=" + dir.File("shared.db");
  testing::ExecuteSql(connection,
                      "CREATE TABLE Errors (lErrorNumber INTEGER, strDescription VARCHAR(255), "
                      "strSource VARCHAR(255), dDate DATETIME)");

  // Processes: each reports its failures in its exit status.
  std::vector<pid_t> children;
  for (int32_t writer = 0; writer < kWriters; ++writer) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      Outcome outcome = LogRecords(connection, writer);
      _exit(std::min(outcome.failures, 100) + (outcome.longestCall.count() > 2000 ? 101 : 0));
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "failures, +101 when a call waited over 2 s";
  }

  std::vector<Outcome> outcomes(kWriters);
  std::vector<std::thread> threads;
  for (int32_t writer = 0; writer < kWriters; ++writer)
    threads.emplace_back(
        [&, writer] { outcomes[writer] = LogRecords(connection, kWriters + writer); });
  for (auto& thread : threads) thread.join();
  for (const Outcome& outcome : outcomes) {
    EXPECT_EQ(outcome.failures, 0);
    EXPECT_LT(outcome.longestCall.count(), 2000);
  }

  auto rows =
      testing::QueryRows(connection, "SELECT COUNT(*), COUNT(DISTINCT lErrorNumber) FROM Errors");
  EXPECT_EQ(CLng(rows[0][0]), 2 * kWriters * kRecordsEach);
  EXPECT_EQ(CLng(rows[0][1]), 2 * kWriters * kRecordsEach);
}

// A parent that made the table and logged before forking its children, and whose sessions
// close while they log (the pool closes idle ones after two seconds; the logger's prepared
// insert keeps its own until the logger goes): the children's records stay. A session the parent
// holds at the fork would otherwise leave the children's sessions without locks of their own on
// the file, and its closing would take the write-ahead log, and their records in it, away from
// under them.
TEST(SqliteContention, ChildrenKeepTheirRecordsWhenTheParentsSessionCloses) {
  testing::HostGuard host;
  MMain::Main();
  testing::TempDir dir;
  const std::string connection = "Provider=SQLite;Data Source=" + dir.File("forked.db");
  testing::ExecuteSql(connection,
                      "CREATE TABLE Errors (lErrorNumber INTEGER, strDescription VARCHAR(255), "
                      "strSource VARCHAR(255), dDate DATETIME)");
  auto parent = std::make_shared<CLogError>();
  parent->pConnect(connection, "Errors");
  TErrorObject before{9001, "before the fork", 0, "", 0, "parent"};
  parent->LogError("M", "P", before, ltDB);
  constexpr int32_t kChildren = 2, kRecords = 15;
  std::vector<pid_t> children;
  for (int32_t writer = 0; writer < kChildren; ++writer) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      auto logger = std::make_shared<CLogError>();
      logger->pConnect(connection, "Errors");
      int failures = 0;
      for (int32_t i = 0; i < kRecords; ++i) {
        TErrorObject error{writer * 1000 + i, "after the parent", 0, "", 0, "child"};
        logger->LogError("M", "P", error, ltDB);
        failures += error.lNumber != writer * 1000 + i;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
      }
      _exit(failures);
    }
    children.push_back(child);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  parent.reset();
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  auto rows = testing::QueryRows(connection, "SELECT COUNT(*) FROM Errors");
  EXPECT_EQ(CLng(rows[0][0]), kChildren * kRecords + 1);
}

}  // namespace
}  // namespace orvex
