// orvex rows: saved-rows files from a query, to CSV and back, with RFC 4180 quoting.
#include <gtest/gtest.h>

#include <fstream>

#include "cli/cli_process.hpp"
#include "support/temp_dir.hpp"

namespace orvex::testing {
namespace {

TEST(RowsCommand, ExportsAQueryAndWritesItAsCsv) {
  TempDir temp;
  ASSERT_EQ(RunCli({"demo", temp.File("demo")}).status, 0);
  const std::string rows = temp.File("some.rows");
  const CliResult exported = RunCli(
      {"rows", "export", "--db", SqliteConnection(temp.File("demo/orvex.db")), "--query",
       "SELECT ID, English, Arabic FROM Messages WHERE ID IN (1, 6) ORDER BY ID", "--out", rows});
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(exported.out, "2 rows\n");
  const CliResult csv = RunCli({"rows", "export", "--rows", rows, "--csv", "-"});
  ASSERT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(csv.out,
            "ID,English,Arabic\r\n"
            "1,File not found,الملف غير موجود\r\n"
            "6,Are you sure you want to delete this record?,"
            "هل أنت متأكد من أنك تريد حذف هذا السجل؟\r\n");
}

TEST(RowsCommand, ImportsCsvAndGivesTheSameCsvBack) {
  TempDir temp;
  const std::string csv =
      "ID,English,Note\r\n"
      "1,\"Comma, inside\",\"He said \"\"hi\"\"\"\r\n"
      "2,\"Two\r\nlines\",\r\n"
      "3,نص عربي,plain\r\n";
  std::ofstream(temp.File("in.csv"), std::ios::binary) << csv;
  const CliResult imported =
      RunCli({"rows", "import", "--csv", temp.File("in.csv"), "--out", temp.File("in.rows")});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "3 rows\n");
  ASSERT_EQ(
      RunCli({"rows", "export", "--rows", temp.File("in.rows"), "--csv", temp.File("out.csv")})
          .status,
      0);
  EXPECT_EQ(ReadBytes(temp.File("out.csv")), csv);
  // The imported file is a string table that CTextTable3 reads.
  EXPECT_EQ(RunCli({"text", "get", "--rows", temp.File("in.rows"), "--language", "Note", "3"}).out,
            "plain\n");
}

TEST(RowsCommand, RefusesMalformedCsv) {
  TempDir temp;
  const auto import = [&](const std::string& text) {
    std::ofstream(temp.File("bad.csv"), std::ios::binary | std::ios::trunc) << text;
    return RunCli({"rows", "import", "--csv", temp.File("bad.csv"), "--out", temp.File("b.rows")});
  };
  const CliResult unterminated = import("A,B\r\n1,\"open\r\n");
  EXPECT_EQ(unterminated.status, 1);
  EXPECT_NE(unterminated.err.find("line 2"), std::string::npos) << unterminated.err;
  EXPECT_NE(import("A,B\r\n1,2,3\r\n").err.find("3 fields"), std::string::npos);
  EXPECT_NE(import("A,A\r\n1,2\r\n").err.find("twice"), std::string::npos);
  EXPECT_NE(import("A,B\r\n1,x\"y\r\n").err.find("quote inside"), std::string::npos);
  EXPECT_NE(import("").err.find("no header"), std::string::npos);
  EXPECT_NE(RunCli({"rows", "export", "--rows", temp.File("none.rows"), "--csv", "-"}).status, 0);
  // A failed run leaves the previous output whole: it is written beside and renamed.
  std::ofstream(temp.File("kept.csv"), std::ios::binary) << "previous\r\n";
  EXPECT_NE(
      RunCli({"rows", "export", "--rows", temp.File("none.rows"), "--csv", temp.File("kept.csv")})
          .status,
      0);
  EXPECT_EQ(ReadBytes(temp.File("kept.csv")), "previous\r\n");
}

}  // namespace
}  // namespace orvex::testing
