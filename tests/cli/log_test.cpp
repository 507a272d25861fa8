// orvex log: records reach the destinations that a shell script names.
#include <gtest/gtest.h>

#include "cli/cli_process.hpp"
#include "platform/scripting/utf16.hpp"
#include "support/temp_dir.hpp"

namespace orvex::testing {
namespace {

class LogCommand : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(RunCli({"demo", temp_.File("demo")}).status, 0); }
  std::string Db() const { return SqliteConnection(temp_.File("demo/orvex.db")); }

  TempDir temp_;
};

TEST_F(LogCommand, AnErrorReachesTheTextLogAndTheDatabase) {
  const std::string file = temp_.File("app.log");
  const CliResult result =
      RunCli({"log", "error", "--file", file, "--db", Db(), "--table", "ErrorLog", "--number", "53",
              "--description", "File not found", "--source", "Reader", "--module", "Billing",
              "--procedure", "Export"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "-1610612736 etwelrSERROR\n");

  const std::string bytes = ReadBytes(file);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(scripting::Utf16LEToUtf8(bytes.substr(2)),
            "Error #53 at @" + HostName() +
                " in Billing.Export-Reader Description:  {File not found}\r\n\r\n");

  const auto rows = QueryRows(Db(),
                              "SELECT lErrorNumber, strDescription, strSource, dDate "
                              "FROM ErrorLog WHERE lErrorNumber = 53");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][1], "File not found");
  EXPECT_EQ(rows[0][2], "@" + HostName() + " in Billing.Export-Reader");
  EXPECT_EQ(rows[0][3], "");  // not date-stamped
}

TEST_F(LogCommand, AComponentErrorTakesItsTextFromATable) {
  const std::string file = temp_.File("component.log");
  const CliResult result =
      RunCli({"log",       "error",         "--file",     file,         "--stamp", "--db",
              Db(),        "--texts-table", "Messages",   "--language", "Arabic",  "--range",
              "1000:1099", "--number",      "0x900003F1", "--module",   "M",       "--procedure",
              "P",         "--table",       "ErrorLog",   "--to",       "file"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "-1879048192 etwelrNSERROR\n");
  const std::string text = scripting::Utf16LEToUtf8(ReadBytes(file).substr(2));
  EXPECT_NE(text.find("  Error #1009 at @"), std::string::npos) << text;  // after the date
  EXPECT_NE(text.find("{فشل الاتصال بالخادم}"), std::string::npos) << text;
}

TEST_F(LogCommand, AFailedDestinationIsReportedWithItsFlag) {
  // The file destination is chosen but no file was opened.
  const CliResult result =
      RunCli({"log", "error", "--to", "file,event", "--number", "5", "--description", "Bad call",
              "--module", "M", "--procedure", "P"});
  EXPECT_EQ(result.status, 3);
  EXPECT_EQ(result.out.substr(result.out.find('\n') + 1),
            "-1610612704 etwelrSERROR|etwelrLOGTOFILE_FAILED\n");
  EXPECT_NE(result.out.find("event ShowError 5 @"), std::string::npos);
  EXPECT_EQ(result.err.rfind("error ", 0), 0u) << result.err;
}

TEST_F(LogCommand, DestinationsThatCannotWorkAreRefusedWithTheReason) {
  const struct {
    std::vector<std::string> destination;
    int status;
    std::string says;
  } cases[] = {
      {{"--file", "/missing/dir/app.log"},
       1,
       "--file /missing/dir/app.log: the folder /missing/dir does not exist"},
      {{"--xml", temp_.File("demo")}, 1, "this is a folder"},
      {{"--to", "eventlog"}, 2, "--to eventlog writes nowhere without --syslog"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"log",      "error", "--number",    "5",
                                  "--module", "M",     "--procedure", "P"};
    args.insert(args.end(), c.destination.begin(), c.destination.end());
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.status, c.status) << c.says;
    EXPECT_EQ(result.out, "") << c.says;  // nothing was logged
    EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
  }
}

TEST_F(LogCommand, EventsAndTransactionsReachFileDatabaseAndXml) {
  const std::string events = temp_.File("events.log");
  const std::string xml = temp_.File("events.xml");
  ASSERT_EQ(RunCli({"log", "event", "--file", events, "--db", Db(), "--table", "EventLog", "--xml",
                    xml, "Nightly export finished"})
                .status,
            0);
  EXPECT_EQ(ReadBytes(events), "Nightly export finished\r\n\r\n");
  EXPECT_NE(ReadBytes(xml).find("Nightly export finished"), std::string::npos);
  EXPECT_EQ(QueryRows(Db(),
                      "SELECT COUNT(*) FROM EventLog WHERE strEvent = "
                      "'Nightly export finished'")[0][0],
            "1");

  const std::string xactions = temp_.File("xactions.log");
  const CliResult logged =
      RunCli({"log", "xaction", "--file", xactions, "--db", Db(), "--table", "Transactions", "7",
              "POS-09", "Mona", "42.50", "Tea", "Approved", "2026-03-01 10:30:00"});
  ASSERT_EQ(logged.status, 0) << logged.err;
  EXPECT_NE(ReadBytes(xactions).find("7:POS-09:Mona:42.50:Tea:Approved:"), std::string::npos);
  EXPECT_EQ(QueryRows(Db(), "SELECT Transactor, Status FROM Transactions WHERE Id = 7"),
            (std::vector<std::vector<std::string>>{{"Mona", "Approved"}}));

  // A field that the column cannot take is refused with the logger's error.
  const CliResult bad = RunCli({"log", "xaction", "--db", Db(), "--table", "Transactions", "abc",
                                "P", "T", "1", "N", "S", "2026-03-01"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("LogXaction"), std::string::npos) << bad.err;
}

}  // namespace
}  // namespace orvex::testing
