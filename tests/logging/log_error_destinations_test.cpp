#include <gtest/gtest.h>

#include "orvex/log_error.hpp"
#include "orvex/modules.hpp"
#include "support/db_providers.hpp"
#include "support/recording_host.hpp"
#include "support/sql_rows.hpp"
#include "support/temp_dir.hpp"

namespace orvex {
namespace {

using testing::HostGuard;
using testing::ReadFile;
using testing::TempDir;
using testing::Utf16;

constexpr const char* kColumns =
    "(lErrorNumber INTEGER, strDescription VARCHAR(255), strSource VARCHAR(255), dDate TIMESTAMP)";

class ErrorDestinations : public ::testing::Test {
 protected:
  ErrorDestinations() {
    host->computerName = "PC7";
    MMain::Main();
  }

  TErrorObject Error(int32_t number, std::string description, std::string source = "") {
    return {number, std::move(description), 0, "", 0, std::move(source)};
  }

  std::string SqliteDatabase(const std::string& name) {
    const std::string connection = "Provider=SQLite;Data Source=" + dir.File(name);
    testing::ExecuteSql(connection, std::string("CREATE TABLE ErrorLog ") + kColumns);
    return connection;
  }

  HostGuard host;
  TempDir dir;
  std::shared_ptr<CLogError> logger = std::make_shared<CLogError>();
};

TEST_F(ErrorDestinations, TextLogIsUtf16WithOneBomAndCrLfLines) {
  std::string path = dir.File("errors.log");
  logger->pLogFile(path);
  TErrorObject component = Error(etwcSERRORS | 1001, "Disk failed", "Lib");
  EXPECT_EQ(logger->LogError("Mod", "Proc", component, ltFILE), etwelrSERROR);
  logger->gbDateStamp = true;
  TErrorObject system = Error(-2147467259, "");
  EXPECT_EQ(logger->LogError("Mod", "Proc", system, ltFILE), etwelrSERROR);

  // A second logger appends to the same file: the byte-order mark stays the first two bytes only.
  auto second = std::make_shared<CLogError>();
  second->pLogFile(path);
  TErrorObject again = Error(53, "File not found");
  second->LogError("M", "P", again, ltFILE);

  std::string expected = std::string("\xFF\xFE", 2) +
                         Utf16(
                             "Error #1001 at @PC7 in Mod.Proc-Lib Description:  {Disk failed}\r\n"
                             "\r\n"
                             "12/5/2026 7:29:54 PM  Error #80004005 at @PC7 in Mod.Proc- "
                             "Description:  {}\r\n"
                             "\r\n"
                             "Error #53 at @PC7 in M.P- Description:  {File not found}\r\n"
                             "\r\n");
  EXPECT_EQ(ReadFile(path), expected);
}

// Each failed destination is flagged and the last failure's record kept; a log file named later
// takes over, one that cannot be opened is ignored.
TEST_F(ErrorDestinations, FailedDestinationsAreAllFlaggedAndALaterLogFileTakesOver) {
  logger->pConnect("Provider=SQLite;Data Source=" + dir.File("absent/none.db"), "ErrorLog",
                   nullptr);
  TErrorObject e = Error(53, "x");
  EXPECT_EQ(logger->LogError("M", "P", e, ltFILE | ltDB | ltXML),
            etwelrSERROR | etwelrLOGTOFILE_FAILED | etwelrLOGTODB_FAILED | etwelrLOGTOXML_FAILED);
  EXPECT_NE(e.lNumber, 0);
  EXPECT_NE(e.lNumber, 53);
  TErrorObject fileAndDb = Error(53, "x");
  EXPECT_EQ(logger->LogError("M", "P", fileAndDb, ltFILE | ltDB),
            etwelrSERROR | etwelrLOGTOFILE_FAILED | etwelrLOGTODB_FAILED);
  EXPECT_NE(fileAndDb.lNumber, errObjectNotSet);  // the database's record, not the file's
  TErrorObject fileOnly = Error(53, "x");
  EXPECT_EQ(logger->LogError("M", "P", fileOnly, ltFILE), etwelrSERROR | etwelrLOGTOFILE_FAILED);
  EXPECT_EQ(fileOnly.lNumber, errObjectNotSet);

  logger->pLogFile(dir.File("first.log"));
  logger->pLogFile(dir.File("no-such-folder/x.log"));  // ignored: the first stays open
  TErrorObject one = Error(53, "one");
  EXPECT_EQ(logger->LogError("M", "P", one, ltFILE), etwelrSERROR);
  logger->pLogFile(dir.File("second.log"));
  TErrorObject two = Error(53, "two");
  logger->LogError("M", "P", two, ltFILE);
  EXPECT_NE(ReadFile(dir.File("first.log")).find(Utf16("{one}")), std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("first.log")).find(Utf16("{two}")), std::string::npos);
  EXPECT_NE(ReadFile(dir.File("second.log")).find(Utf16("{two}")), std::string::npos);
}

TEST_F(ErrorDestinations, ReadOnlyDatabaseNamesItsDataSource) {
  std::string connection = SqliteDatabase("readonly.db");
  // Opened read-only, as a file the process may not write would be (tests may run as root, who
  // can write any file), in each way a connection string may say so.
  for (const char* readOnly : {";Mode=ReadOnly", ";Mode=Read", ";Read Only=yes"}) {
    SCOPED_TRACE(readOnly);
    logger->pConnect(connection + readOnly, "ErrorLog", nullptr);
    TErrorObject e = Error(53, "x");
    EXPECT_EQ(logger->LogError("M", "P", e, ltDB), etwelrSERROR | etwelrLOGTODB_FAILED);
    EXPECT_EQ(e.lNumber, -2147467259);
    const std::string suffix = ":" + dir.File("readonly.db") + " is read-only";
    ASSERT_GE(e.strSource.size(), suffix.size());
    EXPECT_EQ(e.strSource.substr(e.strSource.size() - suffix.size()), suffix);
    EXPECT_FALSE(e.strDescription.empty());
  }
}

TEST_F(ErrorDestinations, EventLogOnlyOnAnNtHostWithTheCallersErrorAfterAFailedDestination) {
  TErrorObject e = Error(53, "gone");
  EXPECT_EQ(logger->LogError("M", "P", e, ltEVENTLOG), etwelrSERROR);
  EXPECT_TRUE(host->events.empty());
  // The text log fails (no file set) and replaces the caller's error with its failure record;
  // the event log and the box after it still write what the caller logged.
  host->isNT = true;
  EXPECT_EQ(logger->LogError("M", "P", e, ltFILE | ltEVENTLOG | ltMSG_ONLY),
            etwelrSERROR | etwelrLOGTOFILE_FAILED | 1);
  EXPECT_EQ(e.lNumber, errObjectNotSet);
  ASSERT_EQ(host->events.size(), 1u);
  EXPECT_EQ(host->events[0].text + "|" + std::to_string(host->events[0].type),
            "Error #53 at @PC7 in M.P- Description:  {gone}|1");
  EXPECT_EQ(host->boxes.at(0).prompt, "gone");
  host->failEventLog = true;
  TErrorObject failing = Error(53, "gone");
  EXPECT_EQ(logger->LogError("M", "P", failing, ltEVENTLOG), etwelrSERROR | etwelrLOGTONT_FAILED);
  EXPECT_EQ(failing.lNumber, errPermissionDenied);
  EXPECT_EQ(failing.strDescription, "The event log is full");
}

class ErrorLogTable : public testing::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    host->computerName = "PC7";
    MMain::Main();
    Db().RunScript(std::string("CREATE TABLE ErrorLog ") + kColumns);
  }
  HostGuard host;
  std::shared_ptr<CLogError> logger = std::make_shared<CLogError>();
};

TEST_P(ErrorLogTable, RowsCarryThePlainNumberBlanksAndTheDateWhenStamped) {
  logger->pConnect(Db().ConnectionString(), "ErrorLog", nullptr);
  ASSERT_NE(logger->madocmdInsertError, nullptr);
  EXPECT_EQ(logger->madocmdInsertError->CommandText,
            "INSERT INTO ErrorLog ( lErrorNumber, strDescription, strSource,dDate )  VALUES ( "
            "?, ?,?,? )");

  TErrorObject component{static_cast<int32_t>(0xA00003E9u), "", 0, "", 0, ""};
  EXPECT_EQ(logger->LogError("Mod", "Proc", component, ltDB), etwelrSERROR);
  logger->gbDateStamp = true;
  TErrorObject system{-2147467259, "Unspecified", 0, "", 0, "Src"};
  EXPECT_EQ(logger->LogError("Mod", "Proc", system, ltDB), etwelrSERROR);

  // The plain number; a blank for an empty description; the date only when stamped.
  EXPECT_EQ(testing::RowsText(testing::QueryRows(
                Db().ConnectionString(),
                "SELECT lErrorNumber, strDescription, strSource, dDate FROM ErrorLog "
                "ORDER BY lErrorNumber")),
            "-2147467259|Unspecified|@PC7 in Mod.Proc-Src|12/5/2026 7:29:54 PM\n"
            "1001| |@PC7 in Mod.Proc-|Null\n");

  // A table that does not exist fails every insert as a data error.
  CLogError missing;
  missing.pConnect(Db().ConnectionString(), "NoSuchTable", nullptr);
  TErrorObject e{53, "", 0, "", 0, ""};
  EXPECT_EQ(missing.LogError("M", "P", e, ltDB), etwelrSERROR | etwelrLOGTODB_FAILED);
  EXPECT_EQ(e.lNumber, static_cast<int32_t>(0x80040E37u));
  EXPECT_EQ(e.strSource, Db().Provider());
}

ORVEX_INSTANTIATE_DATABASE_TESTS(ErrorLogTable);

}  // namespace
}  // namespace orvex
