// Many writers on one SQLite file with the library's defaults: 8 processes, then 8 threads, all
// logging errors at once. No record fails or is lost, and no call waits anywhere near the busy
// time.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
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

// Logs `count` records numbered writer * 1000 + i, pausing `pause` after each: the records that
// failed, +101 when a call waited over 2 s.
int LogRecords(const std::string& connection, int32_t writer, int32_t count,
               std::chrono::milliseconds pause = {}) {
  auto logger = std::make_shared<CLogError>();
  logger->pConnect(connection, "Errors");
  int failures = 0;
  bool waited = false;
  for (int32_t i = 0; i < count; ++i) {
    TErrorObject error{writer * 1000 + i, "contention", 0, "", 0, "writer"};
    auto started = std::chrono::steady_clock::now();
    logger->LogError("M", "P", error, ltDB);
    waited = waited || std::chrono::steady_clock::now() - started > std::chrono::seconds(2);
    failures += error.lNumber != writer * 1000 + i;
    std::this_thread::sleep_for(pause);
  }
  return std::min(failures, 100) + (waited ? 101 : 0);
}

// Runs LogRecords in a child process per writer; their exit statuses.
std::vector<int> LogInChildren(const std::string& connection, int32_t writers, int32_t count,
                               std::chrono::milliseconds pause,
                               const std::function<void()>& meanwhile) {
  std::vector<pid_t> children;
  for (int32_t writer = 0; writer < writers; ++writer) {
    pid_t child = fork();
    if (child == 0) _exit(LogRecords(connection, writer, count, pause));
    children.push_back(child);
  }
  meanwhile();
  std::vector<int> statuses;
  for (pid_t child : children) {
    int status = 0;
    statuses.push_back(child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)
                           ? WEXITSTATUS(status)
                           : -1);
  }
  return statuses;
}

class SqliteContention : public ::testing::Test {
 protected:
  SqliteContention() {
    MMain::Main();
    testing::ExecuteSql(connection,
                        "CREATE TABLE Errors (lErrorNumber INTEGER, strDescription VARCHAR(255), "
                        "strSource VARCHAR(255), dDate DATETIME)");
  }
  std::string Counts() {
    return testing::RowsText(testing::QueryRows(
        connection, "SELECT COUNT(*), COUNT(DISTINCT lErrorNumber) FROM Errors"));
  }

  testing::HostGuard host;
  testing::TempDir dir;
  const std::string connection = "Provider=SQLite;Data Source=" + dir.File("shared.db");
};

TEST_F(SqliteContention, ProcessesAndThreadsLoseNoRecordAndWaitBriefly) {
  EXPECT_EQ(LogInChildren(connection, kWriters, 40, {}, [] {}), std::vector<int>(kWriters, 0));
  std::vector<int> outcomes(kWriters, -1);
  std::vector<std::thread> threads;
  for (int32_t writer = 0; writer < kWriters; ++writer)
    threads.emplace_back(
        [&, writer] { outcomes[writer] = LogRecords(connection, kWriters + writer, 40); });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(outcomes, std::vector<int>(kWriters, 0));
  EXPECT_EQ(Counts(), "640|640\n");
}

// A parent that made the table and logged before forking its children, and whose sessions
// close while they log (the pool closes idle ones after two seconds; the logger's prepared
// insert keeps its own until the logger goes): the children's records stay. A session the parent
// holds at the fork would otherwise leave the children's sessions without locks of their own on
// the file, and its closing would take the write-ahead log, and their records in it, away from
// under them.
TEST_F(SqliteContention, ChildrenKeepTheirRecordsWhenTheParentsSessionCloses) {
  auto parent = std::make_shared<CLogError>();
  parent->pConnect(connection, "Errors");
  TErrorObject before{9001, "before the fork", 0, "", 0, "parent"};
  parent->LogError("M", "P", before, ltDB);
  auto closeParent = [&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    parent.reset();
  };
  EXPECT_EQ(LogInChildren(connection, 2, 15, std::chrono::milliseconds(200), closeParent),
            std::vector<int>(2, 0));
  EXPECT_EQ(Counts(), "31|31\n");
}

}  // namespace
}  // namespace orvex
