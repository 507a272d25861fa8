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

class LogXactionDbTest : public testing::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    MMain::Main();
    connection = Db().ConnectionString();
    // "When" is a keyword in SQLite and PostgreSQL; the date column is WhenAt.
    Db().RunScript(
        "CREATE TABLE XT (Id INTEGER NOT NULL, Port VARCHAR(10) NULL, WhenAt TIMESTAMP NOT NULL)");
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

  std::string Rows() {
    return testing::RowsText(
        testing::QueryRows(connection, "SELECT Id, Port, WhenAt FROM XT ORDER BY Id"));
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
  EXPECT_TRUE(command->Prepared);
  // Each parameter as "name type size nullable", input only and without a value.
  std::string parameters;
  for (int32_t i = 0; i < command->Parameters()->Count(); ++i) {
    const data::Parameter& p = *(*command->Parameters())[i];
    parameters += p.Name + " " + std::to_string(p.Type) + " " + std::to_string(p.Size) +
                  ((p.Attributes & data::adParamNullable) != 0 ? " null" : "") +
                  (p.Direction == data::adParamInput && p.Value.IsEmpty() ? ";" : " ?;");
  }
  EXPECT_EQ(parameters,
            Column("Id") + " 3 4;" + Column("Port") + " 200 10 null;" + Column("WhenAt") + " 7 8;");
  // Decimal and numeric columns carry their precision and scale.
  Db().RunScript("CREATE TABLE XN (Amount NUMERIC(12,3), Note VARCHAR(5))");
  Connect("XN");
  const data::Parameters& numeric = *logger->InsertCommand()->Parameters();
  EXPECT_EQ(std::tuple(numeric[0]->Type, numeric[0]->Precision, numeric[0]->NumericScale,
                       numeric[1]->Precision),
            std::tuple(data::adNumeric, 12, 3, 0));
}

// Records fill the columns by position: a missing Id takes its type's default, a text is cut to
// the column's size, a date column without value takes now, a nullable one Null; an empty record
// inserts the previous values again; an element the column cannot take fails with 20000 and
// writes no row; a handler's changes reach the row but not the record line.
TEST_P(LogXactionDbTest, RecordsFillColumnsByPositionWithDefaultsForTheRest) {
  struct Rewriter : CLogXactionEvents {
    void ShowEvent(SafeArray& Data) override { Data[2] = Variant("changed"); }
  };
  Connect();
  SafeArray two = Record({"1", "port-one-is-too-long"});
  SafeArray five = Record({2, "p2", "2026/01/02", "ignored", "ignored"});
  SafeArray missingPort = Record({3, Variant::Missing(), Date(2026, 3, 4, 5, 6, 7)});
  SafeArray missingId = Record({Variant::Missing(), "p0", Date(2026, 1, 1)});
  SafeArray zeroBased = Record({"ignored", 4, "p4", Date(2026, 4, 4)}, 0);
  SafeArray empty;
  for (SafeArray* record : {&two, &five, &missingPort, &missingId, &zeroBased, &empty})
    EXPECT_FALSE(logger->LogXaction(*record, ltDB));
  SafeArray bad = Record({"abc", "p", Date(2026, 1, 1)});
  AutomationError error = testing::CatchAutomationError([&] { logger->LogXaction(bad, ltDB); });
  EXPECT_EQ(error.Number, kXactionDataError);
  EXPECT_EQ(error.Source, "CLogXaction.LogXaction@TESTPC >> CLogXaction.pLogToDB::ORVEX@TESTPC");
  EXPECT_FALSE(error.Description.empty());
  logger->Advise(std::make_shared<Rewriter>());
  SafeArray record = Record({6, "original", Date(2026, 6, 6)});
  logger->LogXaction(record, ltRAISEEVENT | ltDB | ltMSGBOX);
  EXPECT_EQ(host->boxes.at(0).title.rfind("6:original:", 0), 0u);
  EXPECT_EQ(Rows(),
            "0|p0|1/1/2026\n"
            "1|port-one-i|12/5/2026 7:29:54 PM\n"
            "2|p2|1/2/2026\n"
            "3|Null|3/4/2026 5:06:07 AM\n"
            "4|p4|4/4/2026\n"
            "4|p4|4/4/2026\n"
            "6|changed|6/6/2026\n");
}

TEST_P(LogXactionDbTest, FailedInsertIsRolledBackAndTheNextOneCommits) {
  Db().RunScript("CREATE UNIQUE INDEX XT_Id ON XT (Id)");
  Connect();
  host->isNT = true;
  SafeArray first = Record({1, "a", Date(2026, 1, 1)});
  logger->LogXaction(first, ltDB);
  EXPECT_RAISED(logger->LogXaction(first, ltDB | ltEVENTLOG), 0,
                "CLogXaction.LogXaction@TESTPC >> CLogXaction.pLogToDB@TESTPC "
                ">> CLogXaction.Execute::");
  EXPECT_TRUE(host->events.empty());  // the destinations after the database are not visited
  EXPECT_EQ(logger->InsertCommand()->ActiveConnection, nullptr);

  // Nothing of the failed insert holds the database: another writer and the logger go on.
  Db().RunScript("INSERT INTO XT (Id, Port, WhenAt) VALUES (9, 'x', '2026-01-01')");
  SafeArray second = Record({2, "b", Date(2026, 1, 1)});
  logger->LogXaction(second, ltDB);
  EXPECT_EQ(Db().CountRows("XT"), 3);
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
  EXPECT_RAISED(unconnected->LogXaction(empty, ltDB), 0,
                "CLogXaction.LogXaction@TESTPC >> CLogXaction.pLogToDB@TESTPC >> "
                "CLogXaction.Execute::");
}

ORVEX_INSTANTIATE_DATABASE_TESTS(LogXactionDbTest);

}  // namespace
}  // namespace orvex
