// What a statement may cost and where its edits go: a megabyte of text on a small stack, a wait
// for a lock that ends, and edits written back to the schema-qualified table that was read.
#include <gtest/gtest.h>
#include <pthread.h>

#include <chrono>
#include <functional>

#include "data/data_fixture.hpp"
#include "orvex/log_error.hpp"
#include "orvex/modules.hpp"
#include "support/automation_matchers.hpp"
#include "support/recording_host.hpp"

namespace orvex::data {
namespace {

// Runs the call on a thread with a stack of the given size and waits for it.
void RunOnStackOf(size_t bytes, std::function<void()> call) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, bytes), 0);
  pthread_t thread;
  auto body = [](void* argument) -> void* {
    (*static_cast<std::function<void()>*>(argument))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, body, &call), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
}

// Text of the given size that holds every character the rewriting looks at, but no quote and
// no end of a comment.
std::string Filler(size_t size) {
  const std::string piece = "a?b;c--d$e$/x TOP 5 ";
  std::string text;
  text.reserve(size + piece.size());
  while (text.size() < size) text += piece;
  return text;
}

class StatementBoundsTest : public testing::DataTest {};

TEST_P(StatementBoundsTest, AMegabyteStatementRunsOnAQuarterMegabyteStack) {
  Run({"CREATE TABLE T (ID INTEGER PRIMARY KEY, Name VARCHAR(20))",
       "INSERT INTO T VALUES (1, 'one'), (2, 'two'), (3, 'three')"});
  for (size_t size : {size_t{64} << 10, size_t{1} << 20}) {
    SCOPED_TRACE(size);
    const std::string sql = "SELECT TOP 2 ID FROM T /* " + Filler(size / 2) +
                            " */ WHERE Name <> '" + Filler(size / 2) + "' ORDER BY ID;";
    int32_t rows = -1;
    std::string failure;
    RunOnStackOf(256 << 10, [&] {
      try {
        auto connection = Connect();
        auto result = connection->Execute(sql);
        for (rows = 0; !result->EOF_(); result->MoveNext()) ++rows;
        connection->Close();
      } catch (const AutomationError& error) {
        failure = error.Description;
      }
    });
    EXPECT_EQ(failure, "");
    EXPECT_EQ(rows, 2);
  }
}

TEST_P(StatementBoundsTest, ALockIsAwaitedForTheTimeTheConnectionStringSets) {
  MMain::Main();
  testing::HostGuard host;
  Run({"CREATE TABLE T (ID INTEGER PRIMARY KEY, Name VARCHAR(20))",
       "INSERT INTO T VALUES (1, 'one')",
       "CREATE TABLE ErrorLog (lErrorNumber INTEGER, strDescription VARCHAR(255), "
       "strSource VARCHAR(255), dDate TIMESTAMP)"});
  const std::string bounded = connectionString_ + ";Lock Timeout=300";
  auto holder = Connect();
  holder->BeginTrans();
  holder->Execute("UPDATE T SET Name = 'held' WHERE ID = 1");
  // An insert waits on PostgreSQL only behind a table lock; SQLite locks the whole file.
  if (Db().IsPostgres()) holder->Execute("LOCK TABLE ErrorLog IN EXCLUSIVE MODE");

  const auto start = std::chrono::steady_clock::now();
  auto waiter = std::make_shared<Connection>();
  waiter->Open(bounded);
  AutomationError blocked = testing::CatchAutomationError(
      [&] { waiter->Execute("UPDATE T SET Name = 'x' WHERE ID = 1"); });
  EXPECT_NE(blocked.Number, 0);
  EXPECT_NE(blocked.Description, "");
  waiter->Close();

  // The error logger's database destination fails like on any database failure, and writes
  // again once the lock is gone.
  auto logger = std::make_shared<CLogError>();
  logger->pConnect(bounded, "ErrorLog", nullptr);
  for (bool locked : {true, false}) {
    TErrorObject record;
    record.lNumber = 53;
    record.strDescription = "File not found";
    EXPECT_EQ((logger->LogError("Mod", "Proc", record, ltDB) & etwelrLOGTODB_FAILED) != 0, locked);
    EXPECT_EQ(record.lNumber != 53, locked) << "the record tells the failure";
    if (!locked) continue;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    holder->RollbackTrans();
    holder->Close();
  }
  EXPECT_EQ(Db().CountRows("ErrorLog"), 1);

  auto malformed = std::make_shared<Connection>();
  EXPECT_AUTOMATION_ERROR(malformed->Open(connectionString_ + ";Lock Timeout=soon"),
                          adErrInvalidArgument, "ORVEX.Data.Connection",
                          "Lock Timeout must be a whole number of milliseconds, not 'soon'");
}

TEST_P(StatementBoundsTest, EditsGoToTheSchemaQualifiedTableThatWasRead) {
  if (!Db().IsPostgres()) GTEST_SKIP() << "schemas of their own are a PostgreSQL matter";
  const std::string archive = Db().Location() + "_archive";
  Run({"CREATE SCHEMA " + archive,
       "CREATE TABLE " + archive + ".Messages (ID INTEGER PRIMARY KEY, English VARCHAR(20))",
       "INSERT INTO " + archive + ".Messages VALUES (1, 'archived')",
       "CREATE TABLE Messages (ID INTEGER PRIMARY KEY, English VARCHAR(20))",
       "INSERT INTO Messages VALUES (1, 'current')"});
  struct DropSchema {
    testing::ScratchDatabase& db;
    std::string name;
    ~DropSchema() { db.RunScript("DROP SCHEMA " + name + " CASCADE"); }
  } drop{Db(), archive};

  auto connection = Connect();
  auto rows = std::make_shared<Recordset>();
  rows->CursorLocation(adUseClient);
  rows->LockType(adLockOptimistic);
  rows->Open(Variant("SELECT ID, English AS Text FROM " + archive + ".Messages"),
             Variant(connection), adOpenStatic);
  rows->Fields()->Item("Text")->Value(Variant("edited"));
  rows->Update();
  rows->AddNew();
  rows->Fields()->Item("ID")->Value(Variant(2));
  rows->Fields()->Item("Text")->Value(Variant("added"));
  rows->Update();
  connection->Close();

  EXPECT_EQ(Rows("SELECT ID, English FROM " + archive + ".Messages ORDER BY ID"),
            "1|edited\n2|added\n");
  EXPECT_EQ(Rows("SELECT ID, English FROM Messages"), "1|current\n");
}

ORVEX_INSTANTIATE_DATABASE_TESTS(StatementBoundsTest);

}  // namespace
}  // namespace orvex::data
