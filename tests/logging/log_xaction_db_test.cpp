// The transaction logger's database destination on real databases: SQLite always, PostgreSQL
// when ORVEX_TEST_PG names a server (skipped otherwise).
#include <gtest/gtest.h>

#include <cctype>

#include "orvex/data.hpp"
#include "orvex/log_xaction.hpp"
#include "orvex/modules.hpp"
#include "support/automation_matchers.hpp"
#include "support/db_providers.hpp"
#include "support/recording_host.hpp"
#include "support/sql_rows.hpp"
#include "support/xaction_records.hpp"

namespace orvex {
namespace {

using testing::HostGuard;
using testing::Record;

struct Row {
  Variant id, port, whenAt;
};

// "When" is a keyword in SQLite and PostgreSQL; the date column is WhenAt.
constexpr const char* kCreateTable =
    "CREATE TABLE XT (Id INTEGER NOT NULL, Port VARCHAR(10) NULL, WhenAt TIMESTAMP NOT NULL)";

class LogXactionDbTest : public testing::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    MMain::Main();
    connection = Db().ConnectionString();
    Db().RunScript(kCreateTable);
  }

  // PostgreSQL folds unquoted names to lower case; SQLite keeps them as declared.
  std::string Column(std::string name) {
    if (Db().IsPostgres())
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
  }

  void Connect(const std::string& table = "XT") {
    int16_t sourceCount = 99;  // accepted and not used
    logger->pConnect(connection, table, sourceCount);
  }

  std::vector<Row> Rows() {
    std::vector<Row> rows;
    for (auto& values :
         testing::QueryRows(connection, "SELECT Id, Port, WhenAt FROM XT ORDER BY Id"))
      rows.push_back({values[0], values[1], values[2]});
    return rows;
  }

  HostGuard host;
  std::string connection;
  std::shared_ptr<CLogXaction> logger = std::make_shared<CLogXaction>();
};

TEST_P(LogXactionDbTest, ConnectPreparesOneParameterPerColumnInTableOrder) {
  EXPECT_EQ(logger->InsertCommand(), nullptr);
  Connect();
  std::shared_ptr<const data::Command> command = logger->InsertCommand();
  ASSERT_NE(command, nullptr);
  // The discovered columns are quoted as the database spells them.
  auto quoted = [&](const char* name) { return "\"" + Column(name) + "\""; };
  EXPECT_EQ(command->CommandText, "INSERT INTO XT ( " + quoted("Id") + "," + quoted("Port") + "," +
                                      quoted("WhenAt") + " )  VALUES ( ?,?,? )");
  EXPECT_EQ(command->CommandType, data::adCmdText);
  EXPECT_TRUE(command->Prepared);
  EXPECT_EQ(command->ActiveConnection, nullptr);
  const data::Parameters& parameters = *command->Parameters();
  ASSERT_EQ(parameters.Count(), 3);
  struct Expected {
    const char* name;
    int32_t type;
    int32_t size;
    bool nullable;
  };
  const Expected expected[] = {{"Id", data::adInteger, 4, false},
                               {"Port", data::adVarChar, 10, true},
                               {"WhenAt", data::adDate, 8, false}};
  for (int32_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const data::Parameter& parameter = *parameters[i];
    EXPECT_EQ(parameter.Name, Column(expected[i].name));
    EXPECT_EQ(parameter.Type, expected[i].type);
    EXPECT_EQ(parameter.Size, expected[i].size);
    EXPECT_EQ(parameter.Direction, data::adParamInput);
    EXPECT_EQ((parameter.Attributes & data::adParamNullable) != 0, expected[i].nullable);
    EXPECT_TRUE(parameter.Value.IsEmpty());
  }

  // Decimal and numeric columns carry their precision and scale.
  Db().RunScript("CREATE TABLE XN (Amount NUMERIC(12,3), Note VARCHAR(5))");
  Connect("XN");
  const data::Parameters& numeric = *logger->InsertCommand()->Parameters();
  EXPECT_EQ(numeric[0]->Type, data::adNumeric);
  EXPECT_EQ(numeric[0]->Precision, 12);
  EXPECT_EQ(numeric[0]->NumericScale, 3);
  EXPECT_EQ(numeric[1]->Precision, 0);
}

TEST_P(LogXactionDbTest, RecordsFillColumnsByPositionWithDefaultsForTheRest) {
  Connect();
  SafeArray two = Record({"1", "port-one-is-too-long"});
  SafeArray five = Record({2, "p2", "2026/01/02", "ignored", "ignored"});
  SafeArray missingPort = Record({3, Variant::Missing(), Date(2026, 3, 4, 5, 6, 7)});
  SafeArray missingId = Record({Variant::Missing(), "p0", Date(2026, 1, 1)});
  SafeArray zeroBased = Record({"ignored", 4, "p4", Date(2026, 4, 4)}, 0);
  for (SafeArray* record : {&two, &five, &missingPort, &missingId, &zeroBased})
    EXPECT_FALSE(logger->LogXaction(*record, ltDB));

  std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(CLng(rows[0].id), 0);  // the missing Id takes its type's default
  EXPECT_EQ(CStr(rows[0].port), "p0");
  EXPECT_EQ(CLng(rows[1].id), 1);
  EXPECT_EQ(CStr(rows[1].port), "port-one-i");  // cut to the column's size
  EXPECT_EQ(CDate(rows[1].whenAt), host->now);  // a date column without value: now
  EXPECT_EQ(CStr(rows[2].port), "p2");
  EXPECT_EQ(CDate(rows[2].whenAt), Date(2026, 1, 2));
  EXPECT_TRUE(rows[3].port.IsNull());  // nullable: Null
  EXPECT_EQ(CDate(rows[3].whenAt), Date(2026, 3, 4, 5, 6, 7));
  EXPECT_EQ(CLng(rows[4].id), 4);
  EXPECT_EQ(CStr(rows[4].port), "p4");
}

TEST_P(LogXactionDbTest, UnconvertibleElementFailsWith20000AndWritesNoRow) {
  Connect();
  SafeArray bad = Record({"abc", "p", Date(2026, 1, 1)});
  AutomationError error = testing::CatchAutomationError([&] { logger->LogXaction(bad, ltDB); });
  EXPECT_EQ(error.Number, kXactionDataError);
  EXPECT_EQ(error.Source, "CLogXaction.LogXaction@TESTPC >> CLogXaction.pLogToDB::ORVEX@TESTPC");
  EXPECT_FALSE(error.Description.empty());
  EXPECT_TRUE(Rows().empty());
}

TEST_P(LogXactionDbTest, FailedInsertIsRolledBackAndTheNextOneCommits) {
  Db().RunScript("CREATE UNIQUE INDEX XT_Id ON XT (Id)");
  Connect();
  host->isNT = true;
  SafeArray first = Record({1, "a", Date(2026, 1, 1)});
  logger->LogXaction(first, ltDB);
  AutomationError duplicate =
      testing::CatchAutomationError([&] { logger->LogXaction(first, ltDB | ltEVENTLOG); });
  EXPECT_NE(duplicate.Number, 0);
  EXPECT_EQ(duplicate.Source.rfind("CLogXaction.LogXaction@TESTPC >> CLogXaction.pLogToDB@TESTPC "
                                   ">> CLogXaction.Execute::",
                                   0),
            0u)
      << duplicate.Source;
  EXPECT_TRUE(host->events.empty());  // the destinations after the database are not visited
  EXPECT_EQ(logger->InsertCommand()->ActiveConnection, nullptr);

  // Nothing of the failed insert holds the database: another writer and the logger go on.
  Db().RunScript("INSERT INTO XT (Id, Port, WhenAt) VALUES (9, 'x', '2026-01-01')");
  SafeArray second = Record({2, "b", Date(2026, 1, 1)});
  logger->LogXaction(second, ltDB);
  EXPECT_EQ(Db().CountRows("XT"), 3);
}

TEST_P(LogXactionDbTest, EmptyRecordInsertsThePreviousValuesAgain) {
  Connect();
  SafeArray record = Record({5, "p5", Date(2026, 5, 5)});
  logger->LogXaction(record, ltDB);
  SafeArray empty;
  logger->LogXaction(empty, ltDB);
  std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 2u);
  for (const Row& row : rows) {
    EXPECT_EQ(CLng(row.id), 5);
    EXPECT_EQ(CStr(row.port), "p5");
    EXPECT_EQ(CDate(row.whenAt), Date(2026, 5, 5));
  }
}

TEST_P(LogXactionDbTest, HandlerChangesReachTheRowButNotTheRecordLine) {
  struct Rewriter : CLogXactionEvents {
    void ShowEvent(SafeArray& Data) override { Data[2] = Variant("changed"); }
  };
  Connect();
  logger->Advise(std::make_shared<Rewriter>());
  SafeArray record = Record({6, "original", Date(2026, 6, 6)});
  logger->LogXaction(record, ltRAISEEVENT | ltDB | ltMSGBOX);
  EXPECT_EQ(CStr(Rows().at(0).port), "changed");
  ASSERT_EQ(host->boxes.size(), 1u);
  EXPECT_EQ(host->boxes[0].title.rfind("6:original:", 0), 0u);
}

TEST_P(LogXactionDbTest, ConnectAndNoConnectFailuresCarryTheirProcedures) {
  AutomationError missing = testing::CatchAutomationError([&] { Connect("NoSuchTable"); });
  EXPECT_NE(missing.Number, 0);
  EXPECT_EQ(
      missing.Source.rfind("CLogXaction.pConnect@TESTPC >> CLogXaction.prsGetUsingCommand::", 0),
      0u)
      << missing.Source;
  ASSERT_NE(logger->InsertCommand(), nullptr);  // a new, empty command
  EXPECT_EQ(logger->InsertCommand()->CommandText, "");

  auto unconnected = std::make_shared<CLogXaction>();
  SafeArray record = Record({1});
  EXPECT_AUTOMATION_ERROR(
      unconnected->LogXaction(record, ltDB), errObjectNotSet,
      "CLogXaction.LogXaction@TESTPC >> CLogXaction.pLogToDB::CLogXaction@TESTPC", "");
  SafeArray empty;
  AutomationError open =
      testing::CatchAutomationError([&] { unconnected->LogXaction(empty, ltDB); });
  EXPECT_NE(open.Number, 0);
  EXPECT_EQ(open.Source.rfind("CLogXaction.LogXaction@TESTPC >> CLogXaction.pLogToDB@TESTPC >> "
                              "CLogXaction.Execute::",
                              0),
            0u)
      << open.Source;
}

INSTANTIATE_TEST_SUITE_P(Providers, LogXactionDbTest, ::testing::Values("SQLite", "PostgreSQL"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

}  // namespace
}  // namespace orvex
