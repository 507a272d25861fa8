// orvex text: lookups and edits through the three kinds of text table.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include "cli/cli_process.hpp"
#include "support/temp_dir.hpp"

namespace orvex::testing {
namespace {

class TextCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    const CliResult demo = RunCli({"demo", temp_.File("demo")});
    ASSERT_EQ(demo.status, 0) << demo.err;
  }
  std::string Db() const { return SqliteConnection(temp_.File("demo/orvex.db")); }
  std::string Rows() const { return temp_.File("demo/messages.rows"); }

  TempDir temp_;
};

TEST_F(TextCommand, LooksUpATableInAnyLanguage) {
  const CliResult arabic =
      RunCli({"text", "get", "--db", Db(), "--table", "Messages", "--language", "Arabic", "1"});
  ASSERT_EQ(arabic.status, 0) << arabic.err;
  EXPECT_EQ(arabic.out, "الملف غير موجود\n");
  // English is the default language.
  EXPECT_EQ(RunCli({"text", "get", "--db", Db(), "--table", "Messages", "7"}).out,
            "The amount exceeds the allowed limit\n");
  // Without a table, LanguageStrings is read directly.
  EXPECT_EQ(RunCli({"text", "get", "--db", Db(), "--language", "Arabic", "3"}).out, "إلغاء\n");

  const CliResult absent = RunCli({"text", "get", "--db", Db(), "--table", "Messages", "99"});
  EXPECT_EQ(absent.status, 1);
  EXPECT_EQ(absent.out, "");
  EXPECT_NE(absent.err.find("error -1879028191 (0x90004E21)"), std::string::npos) << absent.err;

  const CliResult noTable = RunCli({"text", "get", "--db", Db(), "--table", "Nowhere", "1"});
  EXPECT_EQ(noTable.status, 1);
  EXPECT_NE(noTable.err.find("ORVEX.CTextTable.LoadStringsRS"), std::string::npos) << noTable.err;
}

TEST_F(TextCommand, ChangesAndAddsTextsInADatabase) {
  ASSERT_EQ(RunCli({"text", "set", "--db", Db(), "--table", "Messages", "--language", "Arabic", "2",
                    "الوصول مرفوض"})
                .status,
            0);
  EXPECT_EQ(
      RunCli({"text", "get", "--db", Db(), "--table", "Messages", "--language", "Arabic", "2"}).out,
      "الوصول مرفوض\n");
  ASSERT_EQ(RunCli({"text", "add", "--db", Db(), "--table", "Messages", "Disk full"}).status, 0);
  EXPECT_EQ(QueryRows(Db(), "SELECT COUNT(*) FROM Messages WHERE English = 'Disk full'")[0][0],
            "1");

  ASSERT_EQ(RunCli({"text", "set", "--db", Db(), "4", "Quit"}).status, 0);
  EXPECT_EQ(RunCli({"text", "get", "--db", Db(), "4"}).out, "Quit\n");
  EXPECT_EQ(RunCli({"text", "set", "--db", Db(), "404", "Nothing"}).status, 1);
}

TEST_F(TextCommand, GetsSeveralTextsEveryTextOrJson) {
  const auto arabic = QueryRows(Db(), "SELECT ID, Arabic FROM Messages ORDER BY ID");
  ASSERT_GE(arabic.size(), 2u);
  const std::string first = arabic[0][1];
  const std::string second = arabic[1][1];
  std::string all;
  for (const auto& row : arabic) all += row[0] + "\t" + row[1] + "\n";
  const std::vector<std::string> table{"--table", "Messages", "--language", "Arabic"};
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out;
  } cases[] = {
      {{"--db", Db(), "1", "2"}, 0, "1\t" + first + "\n2\t" + second + "\n"},
      {{"--db", Db(), "2", "99"}, 1, "2\t" + second + "\n"},  // 99 reported on stderr
      {{"--db", Db(), "--all"}, 0, all},
      {{"--rows", Rows(), "--all"}, 0, all},
      {{"--db", Db(), "--format", "json", "1", "99"},
       1,
       "[\n  {\"id\": 1, \"text\": \"" + first + "\"},\n  {\"id\": 99, \"text\": null}\n]\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"text", "get"};
    args.insert(args.end(), table.begin(), table.end());
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.status, c.status) << c.out << result.err;
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err.find("no text with ID 99") != std::string::npos, c.status == 1)
        << result.err;
  }
}

TEST_F(TextCommand, NoDatabaseIsCreatedByAMistypedPath) {
  const std::string missing = temp_.File("mistyped.db");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"get", "--db", SqliteConnection(missing), "1"},
        {"get", "--db", SqliteConnection(missing), "--table", "Messages", "1"},
        {"set", "--db", SqliteConnection(missing), "--table", "Messages", "1", "x"}}) {
    std::vector<std::string> command{"text"};
    command.insert(command.end(), args.begin(), args.end());
    const CliResult result = RunCli(command);
    EXPECT_EQ(result.status, 1) << args[0];
    EXPECT_NE(result.err.find(missing), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(missing)) << args[0];
  }
}

TEST_F(TextCommand, AChangeNotKeptOrOfAnAbsentIdFailsWithTheReason) {
  // Another process holds the write lock: the table's write fails quietly, the read back does not.
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(temp_.File("demo/orvex.db").c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  const std::string locked = Db() + ";Busy Timeout=50";
  const CliResult held =
      RunCli({"text", "set", "--db", locked, "--table", "Messages", "2", "Changed"});
  sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
  EXPECT_EQ(held.status, 1);
  EXPECT_NE(held.err.find("the change of ID 2 in table Messages (English) was not kept"),
            std::string::npos)
      << held.err;

  const CliResult absent = RunCli({"text", "set", "--db", Db(), "--table", "Messages", "404", "x"});
  EXPECT_EQ(absent.status, 1);
  EXPECT_NE(absent.err.find("no text with ID 404 in table Messages (English) to change"),
            std::string::npos)
      << absent.err;

  const CliResult language =
      RunCli({"text", "set", "--rows", Rows(), "--language", "French", "8", "x"});
  EXPECT_EQ(language.status, 1) << language.err;
}

TEST_F(TextCommand, EditsASavedRowsFileAndSavesIt) {
  EXPECT_EQ(RunCli({"text", "get", "--rows", Rows(), "--language", "Arabic", "8"}).out,
            "تم حفظ المعاملة\n");
  ASSERT_EQ(RunCli({"text", "set", "--rows", Rows(), "8", "Transaction stored"}).status, 0);
  EXPECT_EQ(RunCli({"text", "get", "--rows", Rows(), "8"}).out, "Transaction stored\n");
  // The other language's column is kept by the save.
  EXPECT_EQ(RunCli({"text", "get", "--rows", Rows(), "--language", "Arabic", "8"}).out,
            "تم حفظ المعاملة\n");
  const CliResult absent = RunCli({"text", "set", "--rows", Rows(), "77", "x"});
  EXPECT_EQ(absent.status, 1);
  EXPECT_NE(absent.err.find("(0x90004E21)"), std::string::npos) << absent.err;
}

TEST_F(TextCommand, ReadsAGlossaryAndRefusesToEditIt) {
  const std::string glossary = temp_.File("glossary.xml");
  std::ofstream(glossary) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Glossaries>\n"
                             "<Glossary ID=\"1\" English=\"Invoice\" Arabic=\"فاتورة\"/>\n"
                             "<Glossary ID=\"2\" English=\"Receipt\" Arabic=\"إيصال\"/>\n"
                             "</Glossaries>\n";
  EXPECT_EQ(RunCli({"text", "get", "--glossary", glossary, "--language", "Arabic", "2"}).out,
            "إيصال\n");
  const CliResult edit = RunCli({"text", "set", "--glossary", glossary, "2", "x"});
  EXPECT_EQ(edit.status, 2);
  EXPECT_NE(edit.err.find("read only"), std::string::npos);
}

}  // namespace
}  // namespace orvex::testing
