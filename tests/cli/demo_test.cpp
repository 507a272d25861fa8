// orvex demo on a fresh folder: the files and tables it promises, with their records.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "cli/cli_process.hpp"
#include "platform/scripting/utf16.hpp"
#include "support/temp_dir.hpp"

namespace orvex::testing {
namespace {

// The records column of the summary line for a logger's destination.
int SummaryCount(const std::string& out, const std::string& logger, const std::string& where) {
  const std::regex line(logger + " +\\S[^\\n]*?" + where + " +(\\d+)\\n");
  std::smatch match;
  if (!std::regex_search(out, match, line)) return -1;
  return std::stoi(match[1]);
}

int Count(const std::string& connection, const std::string& table) {
  return std::stoi(QueryRows(connection, "SELECT COUNT(*) FROM " + table)[0][0]);
}

TEST(DemoCommand, FillsEveryDestinationOfAFreshFolder) {
  TempDir temp;
  const std::string folder = temp.File("demo/nested");
  const CliResult result = RunCli({"demo", folder});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");

  for (const char* name : {"orvex.db", "errors.log", "errors.xml", "events.log", "events.xml",
                           "transactions.log", "transactions.xml", "messages.rows"})
    EXPECT_TRUE(std::filesystem::is_regular_file(folder + "/" + name)) << name;

  const std::string db = SqliteConnection(folder + "/orvex.db");
  EXPECT_GE(Count(db, "Messages"), 8);
  EXPECT_GE(Count(db, "LanguageStrings"), 1);
  EXPECT_EQ(Count(db, "ErrorLog"), 4);
  EXPECT_EQ(Count(db, "EventLog"), 2);
  EXPECT_EQ(Count(db, "Transactions"), 3);
  EXPECT_EQ(QueryRows(db, "SELECT Arabic FROM Messages WHERE ID = 1")[0][0], "الملف غير موجود");

  // The summary counts what is really in each destination.
  EXPECT_NE(result.out.find("summary"), std::string::npos);
  EXPECT_EQ(SummaryCount(result.out, "CLogError", "ErrorLog"), 4);
  EXPECT_EQ(SummaryCount(result.out, "CLogError", "errors.log"), 4);
  EXPECT_EQ(SummaryCount(result.out, "CLogError", "errors.xml"), 4);
  EXPECT_EQ(SummaryCount(result.out, "CLogEvent", "EventLog"), 2);
  EXPECT_EQ(SummaryCount(result.out, "CLogXaction", "Transactions"), 3);
  EXPECT_EQ(SummaryCount(result.out, "CLogXaction", "transactions.xml"), 3);
  EXPECT_EQ(SummaryCount(result.out, "CTextTable3", "messages.rows"), Count(db, "Messages"));

  // The error log is UTF-16LE and holds the component error's text from the Arabic table.
  const std::string log = ReadBytes(folder + "/errors.log");
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log.substr(0, 2), "\xFF\xFE");
  const std::string text = scripting::Utf16LEToUtf8(log.substr(2));
  EXPECT_NE(text.find("Error #1001 at @" + HostName() + " in Billing.Export"), std::string::npos);
  EXPECT_NE(text.find("{قاعدة البيانات غير متاحة}"), std::string::npos);
  EXPECT_NE(result.out.find("تمت العملية بنجاح"), std::string::npos);  // the Arabic message
}

TEST(DemoCommand, ARunAgainInTheSameFolderStartsAfresh) {
  TempDir temp;
  const std::string folder = temp.File("demo");
  ASSERT_EQ(RunCli({"demo", folder}).status, 0);
  const CliResult second = RunCli({"demo", folder});
  ASSERT_EQ(second.status, 0) << second.err;
  const std::string db = SqliteConnection(folder + "/orvex.db");
  EXPECT_EQ(Count(db, "ErrorLog"), 4);
  EXPECT_EQ(SummaryCount(second.out, "CLogError", "errors.log"), 4);
  EXPECT_EQ(SummaryCount(second.out, "CLogEvent", "events.xml"), 2);
}

TEST(DemoCommand, WithoutAFolderUsesAFreshTemporaryOne) {
  const CliResult result = RunCli({"demo"});
  ASSERT_EQ(result.status, 0) << result.err;
  std::smatch folder;
  ASSERT_TRUE(std::regex_search(result.out, folder, std::regex("folder +(\\S+)\\n")));
  const std::string path = folder[1];
  EXPECT_TRUE(std::filesystem::is_regular_file(path + "/orvex.db"));
  std::filesystem::remove_all(path);
}

}  // namespace
}  // namespace orvex::testing
