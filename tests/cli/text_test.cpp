// orvex text: lookups and edits through the three kinds of text table.
#include <gtest/gtest.h>

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
