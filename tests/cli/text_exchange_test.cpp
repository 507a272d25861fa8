// orvex text export|import: the command lines that scripts rely on.
#include <gtest/gtest.h>

#include "cli/cli_process.hpp"
#include "support/temp_dir.hpp"

namespace orvex::testing {
namespace {

class TextExchangeCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    const CliResult demo = RunCli({"demo", temp_.File("demo")});
    ASSERT_EQ(demo.status, 0) << demo.err;
  }
  std::string Rows() const { return temp_.File("demo/messages.rows"); }
  std::string ArabicOf(const std::string& id) const {
    return RunCli({"text", "get", "--rows", Rows(), "--language", "Arabic", id}).out;
  }

  TempDir temp_;
};

TEST_F(TextExchangeCommand, ExportsAndImportsWithAReportPerId) {
  const CliResult po = RunCli({"text", "export", "--rows", Rows(), "--language", "Arabic",
                               "--source-language", "English", "--format", "po"});
  ASSERT_EQ(po.status, 0) << po.err;
  EXPECT_NE(po.out.find("\"Language: ar\\n\"\n"), std::string::npos) << po.out;
  EXPECT_NE(po.out.find("msgctxt \"1\"\nmsgid \"File not found\"\nmsgstr \"الملف غير موجود\"\n"),
            std::string::npos)
      << po.out;

  const std::string xliff = temp_.File("ar.xlf");
  ASSERT_EQ(RunCli({"text", "export", "--rows", Rows(), "--language", "Arabic", "--format",
                    "xliff20", "--out", xliff})
                .status,
            0);
  const CliResult same = RunCli(
      {"text", "import", "--rows", Rows(), "--language", "Arabic", "--format", "xliff20", xliff});
  ASSERT_EQ(same.status, 0) << same.err;
  EXPECT_NE(same.out.find("1: unchanged\n"), std::string::npos) << same.out;
  EXPECT_NE(same.out.find("\n0 added, 0 changed, 10 unchanged, 0 refused; nothing to write\n"),
            std::string::npos)
      << same.out;

  const std::string edited = temp_.File("edited.po");
  WriteFile(edited,
            "msgid \"\"\nmsgstr \"X-ORVEX-Source-Language: English\\n\"\n\n"
            "msgctxt \"1\"\nmsgid \"File not found\"\nmsgstr \"لم يتم العثور على الملف\"\n\n"
            "msgctxt \"999\"\nmsgid \"Nothing\"\nmsgstr \"لا شيء\"\n");
  const std::vector<std::string> import = {"text",       "import", "--rows",   Rows(),
                                           "--language", "Arabic", "--format", "po"};
  auto run = [&](std::vector<std::string> flags) {
    std::vector<std::string> args = import;
    args.insert(args.end(), flags.begin(), flags.end());
    args.push_back(edited);
    return RunCli(args);
  };
  const CliResult refused = run({});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out,
            "1: changed\n999: unknown ID\n"
            "0 added, 1 changed, 0 unchanged, 1 refused; nothing was written\n");
  EXPECT_NE(refused.err.find("error -1879028188 (0x90004E24) in orvex text: entries were refused"),
            std::string::npos)
      << refused.err;
  EXPECT_EQ(ArabicOf("1"), "الملف غير موجود\n");

  const CliResult dry = run({"--dry-run", "--skip-refused"});
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_EQ(ArabicOf("1"), "الملف غير موجود\n");

  const CliResult skipped = run({"--skip-refused"});
  EXPECT_EQ(skipped.status, 0) << skipped.err;
  EXPECT_NE(skipped.out.find("refused; the table is written\n"), std::string::npos);
  EXPECT_EQ(ArabicOf("1"), "لم يتم العثور على الملف\n");

  EXPECT_EQ(RunCli({"text", "export", "--rows", Rows(), "--language", "Arabic"}).status, 2);
  EXPECT_EQ(RunCli({"text", "export", "--rows", Rows(), "--language", "Arabic", "--format", "xlf"})
                .status,
            2);
  EXPECT_EQ(
      RunCli({"text", "import", "--rows", Rows(), "--language", "Arabic", "--format", "po"}).status,
      2);
}

}  // namespace
}  // namespace orvex::testing
