// orvex demo: the files it promises, and a summary that counts what reached each destination.
#include <gtest/gtest.h>

#include "cli/cli_process.hpp"

namespace orvex::testing {
namespace {

// The summary counts the records of each destination (a line's logger, then its path or
// table after the destination's name, then the count).
void ExpectSummary(const std::string& out) {
  for (const char* line :
       {"CTextTable .*Messages +10", "CTextTable .*LanguageStrings +6",
        "CTextTable3 .*messages.rows +10", "CLogError .*errors.log +4", "CLogError .*ErrorLog +4",
        "CLogError .*errors.xml +4", "CLogEvent .*events.log +2", "CLogEvent .*EventLog +2",
        "CLogEvent .*events.xml +2", "CLogXaction .*transactions.log +3",
        "CLogXaction .*Transactions +3", "CLogXaction .*transactions.xml +3"})
    EXPECT_TRUE(std::regex_search(out, std::regex(std::string(line) + "\n"))) << line << " in\n"
                                                                              << out;
}

TEST(DemoCommand, FillsEveryDestinationOfAFreshFolderAndCountsWhatWentWhere) {
  const DemoRun& demo = Demo();
  ASSERT_EQ(demo.status, 0) << demo.err;
  EXPECT_EQ(demo.err, "");
  for (const char* name : {"orvex.db", "errors.log", "errors.xml", "events.log", "events.xml",
                           "transactions.log", "transactions.xml", "messages.rows"})
    EXPECT_TRUE(std::filesystem::is_regular_file(demo.folder + "/" + name)) << name;
  ExpectSummary(demo.out);
  EXPECT_NE(demo.out.find("Arabic message 5: تمت العملية بنجاح\n"), std::string::npos);

  // A run again in the same folder starts afresh.
  TempDir again;
  std::filesystem::copy(demo.folder, again.path(), std::filesystem::copy_options::recursive);
  const CliResult second = RunCli({"demo", again.path().string()});
  ASSERT_EQ(second.status, 0) << second.err;
  ExpectSummary(second.out);
}

}  // namespace
}  // namespace orvex::testing
