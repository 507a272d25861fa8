// orvex log: a record reaches the destinations whose options a shell script gives; the result
// word is printed, and a failed destination makes the exit status 3.
#include <gtest/gtest.h>

#include "cli/cli_process.hpp"
#include "support/sql_rows.hpp"

namespace orvex::testing {
namespace {

TEST_F(DemoFolder, LogWritesEachKindOfRecordWhereItsOptionsSay) {
  const std::string error = "log error --module Billing --procedure Export ";
  const CliCase cases[] = {
      // a part of the output, and of the error output
      {error + "--file @app.log --db DB --table ErrorLog --xml @app.xml --number 53", 0,
       "-1610612736 etwelrSERROR\n"},
      // A component error's text comes from the table, here shown by the event the logger raises.
      {error + "--to event --texts-db DB --texts-table Messages --language Arabic --range "
               "1000:1099 --number 0x900003F1",
       0, ": فشل الاتصال بالخادم ("},
      // The file is chosen but none given: the result word says so, the failure record follows.
      {error + "--to file,event --number 5", 3, "-1610612704 etwelrSERROR|etwelrLOGTOFILE_FAILED\n",
       "error 91 (0x0000005B) in CLogError: "},
      {"log event --file @events.log --db DB --table EventLog --xml @events.xml Nightly-export", 0},
      {"log xaction --file @x.log --db DB --table Transactions 7 POS-09 Mona 42.50 Tea Approved "
       "2026-03-01",
       0},
      // A field that the column cannot take is refused with the logger's error.
      {"log xaction --db DB --table Transactions abc P T 1 N S 2026-03-01", 1, "", "LogXaction"},
  };
  for (const CliCase& c : cases) {
    const CliResult result = Run(c.line);
    SCOPED_TRACE(c.line);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.out.find(c.out), std::string::npos) << result.out;
    EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
  }
  // The error's result word says its destinations did not fail; these print nothing, so look.
  EXPECT_NE(ReadFile(File("events.log")).find("Nightly-export\r\n"), std::string::npos);
  EXPECT_NE(ReadFile(File("events.xml")).find("Nightly-export"), std::string::npos);
  EXPECT_NE(ReadFile(File("x.log")).find("7:POS-09:Mona:42.50:Tea:Approved:"), std::string::npos);
  for (const char* query : {"SELECT COUNT(*) FROM EventLog WHERE strEvent = 'Nightly-export'",
                            "SELECT COUNT(*) FROM Transactions WHERE Transactor = 'Mona'"})
    EXPECT_EQ(CLng(QueryRows(Db(), query).at(0).at(0)), 1) << query;
}

}  // namespace
}  // namespace orvex::testing
