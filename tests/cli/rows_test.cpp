// orvex rows: saved-rows files from a query, to CSV and back, with RFC 4180 quoting.
#include <gtest/gtest.h>

#include "cli/cli_process.hpp"

namespace orvex::testing {
namespace {

TEST_F(DemoFolder, RowsExportsAQueryAndWritesItAsCsv) {
  const CliResult exported =
      RunCli({"rows", "export", "--db", Db(), "--out", File("some.rows"), "--query",
              "SELECT * FROM Messages WHERE ID IN (6, 1) ORDER BY ID"});
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(exported.out, "2 rows\n");
  EXPECT_EQ(Run("rows export --rows @some.rows --csv -").out,
            "ID,English,Arabic\r\n1,File not found,الملف غير موجود\r\n"
            "6,Are you sure you want to delete this record?,"
            "هل أنت متأكد من أنك تريد حذف هذا السجل؟\r\n");
}

TEST(RowsCommand, ImportsCsvGivesTheSameCsvBackAndRefusesMalformedCsv) {
  TempDir temp;
  const std::string csv =
      "ID,English,Note\r\n"
      "1,\"Comma, inside\",\"He said \"\"hi\"\"\"\r\n"
      "2,\"Two\r\nlines\",\r\n"
      "3,نص عربي,plain\r\n";
  const std::pair<std::string, std::string> cases[] = {
      {csv, "3 rows\n"},
      {"A,B\r\n1,\"open\r\n", "line 2"},
      {"A,B\r\n1,2,3\r\n", "3 fields"},
      {"A,A\r\n1,2\r\n", "twice"},
      {"A,B\r\n1,x\"y\r\n", "quote inside"},
      {"", "no header"},
  };
  for (const auto& [text, says] : cases) {
    WriteFile(temp.File("in.csv"), text);
    const CliResult result = RunCli(Words("rows import --csv @in.csv --out @in.rows", temp.path()));
    EXPECT_EQ(result.status, text == csv ? 0 : 1) << says;
    EXPECT_NE((result.out + result.err).find(says), std::string::npos) << result.err;
  }
  // The rows of the good file (the malformed ones wrote nothing) go back to the same CSV, and
  // CTextTable3 reads them as a string table.
  EXPECT_EQ(RunCli(Words("rows export --rows @in.rows --csv @out.csv", temp.path())).out,
            "3 rows\n");
  EXPECT_EQ(ReadFile(temp.File("out.csv")), csv);
  EXPECT_EQ(RunCli(Words("text get --rows @in.rows --language Note 3", temp.path())).out,
            "plain\n");
  // A failed run leaves the previous output whole: it is written beside and renamed.
  EXPECT_EQ(RunCli(Words("rows export --rows @none.rows --csv @out.csv", temp.path())).status, 1);
  EXPECT_EQ(ReadFile(temp.File("out.csv")), csv);
}

}  // namespace
}  // namespace orvex::testing
