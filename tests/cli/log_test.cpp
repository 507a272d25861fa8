// orvex log: a record reaches the destinations whose options a shell script gives; the result
// word is printed, and a failed destination makes the exit status 3.
#include <gtest/gtest.h>

#include "cli/cli_process.hpp"
#include "support/sql_rows.hpp"

namespace orvex::testing {
namespace {

TEST_F(DemoFolder, LogWritesEachKindOfRecordWhereItsOptionsSay) {
  const std::string db = Db();
  const std::vector<std::string> at = {"--module", "Billing", "--procedure", "Export"};
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out = "", err = "";
  } cases[] = {
      {{"error", "--file", File("app.log"), "--db", db, "--table", "ErrorLog", "--xml",
        File("app.xml"), "--number", "53", "--description", "File not found"},
       0,
       "-1610612736 etwelrSERROR\n"},
      // A component error's text comes from the table, here shown by the event the logger raises.
      {{"error", "--to", "event", "--texts-db", db, "--texts-table", "Messages", "--language",
        "Arabic", "--range", "1000:1099", "--number", "0x900003F1"},
       0,
       ": فشل الاتصال بالخادم ("},
      {{"error", "--to", "file,event", "--number", "5", "--description", "Bad call"},
       3,
       "-1610612704 etwelrSERROR|etwelrLOGTOFILE_FAILED\n",
       "error 91 (0x0000005B) in CLogError: "},  // the file chosen, but none given
      {{"event", "--file", File("events.log"), "--db", db, "--table", "EventLog", "--xml",
        File("events.xml"), "Nightly export finished"},
       0},
      {{"xaction", "--file", File("x.log"), "--db", db, "--table", "Transactions", "7", "POS-09",
        "Mona", "42.50", "Tea", "Approved", "2026-03-01 10:30:00"},
       0},
      // A field that the column cannot take is refused with the logger's error.
      {{"xaction", "--db", db, "--table", "Transactions", "abc", "P", "T", "1", "N", "S", "2026"},
       1,
       "",
       "LogXaction"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"log"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    if (c.args[0] == "error") args.insert(args.end(), at.begin(), at.end());
    const CliResult result = RunCli(args);
    SCOPED_TRACE(c.args[0] + " " + c.args.back());
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.out.find(c.out), std::string::npos) << result.out;
    EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
  }
  // The error's result word says its destinations did not fail; these say nothing, so look.
  EXPECT_NE(ReadFile(File("events.log")).find("Nightly export finished"), std::string::npos);
  EXPECT_NE(ReadFile(File("events.xml")).find("Nightly export finished"), std::string::npos);
  EXPECT_EQ(CLng(QueryRows(db, "SELECT COUNT(*) FROM EventLog WHERE strEvent LIKE 'Nightly%'")
                     .at(0)
                     .at(0)),
            1);
  EXPECT_NE(ReadFile(File("x.log")).find("7:POS-09:Mona:42.50:Tea:Approved:"), std::string::npos);
  EXPECT_EQ(CStr(QueryRows(db, "SELECT Transactor FROM Transactions WHERE Id = 7").at(0).at(0)),
            "Mona");
}

}  // namespace
}  // namespace orvex::testing
