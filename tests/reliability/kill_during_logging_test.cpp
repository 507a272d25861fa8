// A client process killed while it logs errors to the text file, SQLite and the XML log: every
// record whose LogError returned before the kill must be on disk, and the files must stay
// readable. The child reports its progress through a pipe after each call returns.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "orvex/log_error.hpp"
#include "orvex/modules.hpp"
#include "reliability/log_files.hpp"
#include "support/temp_dir.hpp"
#include "support/xml_records.hpp"

namespace orvex {
namespace {

using reliability::QuerySqliteTexts;
using testing::ReadXmlLog;

constexpr int kKills = 30;

std::string Description(int run, int32_t record) {
  return "run " + std::to_string(run) + " record " + std::to_string(record);
}

// The child: logs until killed. Positive numbers on the pipe count returned LogError calls,
// negative ones the records covered by a returned SaveXMLLog.
[[noreturn]] void LogUntilKilled(int run, int reportFd, const std::string& textLog,
                                 const std::string& database, const std::string& xmlLog) {
  MMain::Main();
  auto logger = std::make_shared<CLogError>();
  logger->pLogFile(textLog);
  logger->pConnect("Provider=SQLite;Data Source=" + database, "ErrorLog");
  logger->pLogXML(xmlLog);
  for (int32_t record = 1;; ++record) {
    TErrorObject error;
    error.lNumber = 53;
    error.strDescription = Description(run, record);
    // A failing destination would make the parent's checks meaningless: say so and stop.
    if (logger->LogError("Crash", "Loop", error, ltFILE | ltDB | ltXML) &
        (etwelrLOGTOFILE_FAILED | etwelrLOGTODB_FAILED | etwelrLOGTOXML_FAILED))
      _exit(3);
    if (::write(reportFd, &record, sizeof record) != sizeof record) _exit(4);
    if (record % 10 != 0) continue;
    logger->SaveXMLLog();
    const int32_t saved = -record;  // reported negative
    if (::write(reportFd, &saved, sizeof saved) != sizeof saved) _exit(4);
  }
}

// Every record of the run up to the last one the child reported is among those found.
void ExpectHeld(const std::vector<std::string>& found, int run, int32_t last, const char* where) {
  const std::set<std::string> texts(found.begin(), found.end());
  for (int32_t record = 1; record <= last; ++record)
    EXPECT_TRUE(texts.count(Description(run, record))) << where << ": " << Description(run, record);
}

// The descriptions in the XML log, which must parse; a save cut short by the kill is repaired
// by the next save, of any process.
std::vector<std::string> XmlLogDescriptions(const std::string& path, int run) {
  auto records = ReadXmlLog(path);
  if (!records.loaded && std::filesystem::exists(path)) {
    CLogError repairer;
    repairer.pLogXML(path);
    TErrorObject error;
    error.lNumber = 53;
    error.strDescription = "after run " + std::to_string(run);
    EXPECT_EQ(repairer.LogError("Crash", "Repair", error, ltXML) & etwelrLOGTOXML_FAILED, 0);
    repairer.SaveXMLLog();
    records = ReadXmlLog(path);
    EXPECT_TRUE(records.loaded) << "the XML log no longer parses, nor after the next save";
  }
  return records.Descriptions();
}

TEST(KillDuringLogging, EveryReturnedRecordSurvivesSigkill) {
  testing::TempDir dir;
  const std::string database = dir.File("errors.db"), xmlLog = dir.File("errors.xml");
  reliability::ExecSqlite(database, reliability::kErrorLogTable);
  const char* seedText = std::getenv("ORVEX_CRASH_SEED");
  const unsigned seed = seedText != nullptr
                            ? std::strtoul(seedText, nullptr, 10)
                            : std::chrono::steady_clock::now().time_since_epoch().count();
  std::mt19937 random(seed);
  SCOPED_TRACE("ORVEX_CRASH_SEED=" + std::to_string(seed));
  int32_t totalLogged = 0;
  for (int run = 0; run < kKills; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    // A text log per run, so that a line cut at the end of one run stays the last line.
    const std::string textLog = dir.File("errors-" + std::to_string(run) + ".log");
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(pipeFds[0]);
      LogUntilKilled(run, pipeFds[1], textLog, database, xmlLog);
    }
    ::close(pipeFds[1]);
    // Once the child has reported a record (a loaded machine may start it slowly), a random
    // time more.
    pollfd poll{pipeFds[0], POLLIN, 0};
    ::poll(&poll, 1, 20000);
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 250)(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself, exit " << WEXITSTATUS(status);
    int32_t logged = 0, saved = 0;
    for (int32_t value = 0; ::read(pipeFds[0], &value, sizeof value) == sizeof value;) {
      if (value > 0) logged = value;
      if (value < 0) saved = -value;
    }
    ::close(pipeFds[0]);
    totalLogged += logged;

    // A child killed before its first record may not have made the files yet.
    ExpectHeld(reliability::TextLogRecords(textLog, true, false), run, logged, "text log");
    ExpectHeld(QuerySqliteTexts(database, "SELECT strDescription FROM ErrorLog"), run, logged,
               "database");
    ExpectHeld(XmlLogDescriptions(xmlLog, run), run, saved, "XML log");
    if (HasFatalFailure()) return;
  }
  // The kills must have hit a logger at work, not a process still starting.
  EXPECT_GE(totalLogged, kKills);
}

}  // namespace
}  // namespace orvex
