// How many server connections logging threads hold, counted by the server itself: the loggers of
// a thread share one session, and a session left idle is closed soon after, while the loggers
// live on.
#include <gtest/gtest.h>

#include <unistd.h>
#include <barrier>
#include <chrono>
#include <thread>

#include "orvex/log_error.hpp"
#include "orvex/log_event.hpp"
#include "orvex/log_xaction.hpp"
#include "orvex/modules.hpp"
#include "support/db_providers.hpp"
#include "support/recording_host.hpp"
#include "support/xaction_records.hpp"

namespace orvex {
namespace {

using testing::kPostgres;

constexpr int32_t kThreads = 6;

TEST(DatabaseConnections, ThreadsHoldOneSessionEachWhileLoggingAndNoneOnceIdle) {
  ORVEX_REQUIRE_PROVIDER(kPostgres);
  testing::ScratchDatabase db(kPostgres);
  db.RunScript(
      "CREATE TABLE Errors (lErrorNumber INTEGER, strDescription VARCHAR(255), "
      "strSource VARCHAR(255), dDate TIMESTAMP);"
      "CREATE TABLE Events (strEvent VARCHAR(255), dDate TIMESTAMP);"
      "CREATE TABLE Xactions (N INTEGER)");
  const std::string name = "orvex-count-" + std::to_string(getpid());
  const std::string connection = db.ConnectionString() + ";Application Name=" + name;
  const std::string countQuery =
      "SELECT count(*) FROM pg_stat_activity WHERE application_name = '" + name + "'";

  std::barrier logged(kThreads + 1), counted(kThreads + 1), idleCounted(kThreads + 1);
  std::vector<std::thread> threads;
  for (int32_t t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      testing::HostGuard host;
      MMain::Main();
      auto errors = std::make_shared<CLogError>();
      auto events = std::make_shared<CLogEvent>();
      auto xactions = std::make_shared<CLogXaction>();
      errors->pConnect(connection, "Errors");
      events->pConnect(connection, "Events");
      int16_t sources = 0;
      xactions->pConnect(connection, "Xactions", sources);
      for (int32_t i = 0; i < 5; ++i) {
        TErrorObject error;
        error.lNumber = t * 100 + i;
        errors->LogError("M", "P", error, ltDB);
        std::string text = "event";
        events->LogEvent(text, ltDB);
        SafeArray record = testing::Record({Variant(t * 100 + i)});
        xactions->LogXaction(record, ltDB);
      }
      logged.arrive_and_wait();
      counted.arrive_and_wait();
      idleCounted.arrive_and_wait();  // the loggers live until the idle count is taken
    });

  logged.arrive_and_wait();
  long whileLogging = std::stol(db.QueryText(countQuery));
  EXPECT_GE(whileLogging, 1);
  EXPECT_LE(whileLogging, kThreads) << "three loggers per thread share the thread's session";
  counted.arrive_and_wait();
  std::this_thread::sleep_for(std::chrono::milliseconds(3000));
  EXPECT_EQ(db.QueryText(countQuery), "0") << "idle sessions are closed after 2 s";
  idleCounted.arrive_and_wait();
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(db.CountRows("Errors"), kThreads * 5);
  EXPECT_EQ(db.CountRows("Xactions"), kThreads * 5);
}

}  // namespace
}  // namespace orvex
