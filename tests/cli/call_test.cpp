// orvex call: members invoked late-bound by name, with typed arguments and reported errors.
#include <gtest/gtest.h>

#include "cli/cli_process.hpp"
#include "support/temp_dir.hpp"

namespace orvex::testing {
namespace {

TEST(CallCommand, InvokesAMethodByNameAndPrintsItsResult) {
  const CliResult source = RunCli({"call", "ORVEX.GErrors", "SetErrSource", "Mod", "Proc"});
  ASSERT_EQ(source.status, 0) << source.err;
  EXPECT_EQ(source.out, "Mod.Proc::@" + HostName() + "\n");
  // Names are case-insensitive; a typed argument reaches a Long parameter.
  EXPECT_EQ(RunCli({"call", "orvex.gerrors", "comerror", "int:5"}).out, "-2147221499\n");
}

TEST(CallCommand, ChainsCallsOnOneObject) {
  TempDir temp;
  ASSERT_EQ(RunCli({"demo", temp.File("demo")}).status, 0);
  const std::string db = SqliteConnection(temp.File("demo/orvex.db"));
  const CliResult result =
      RunCli({"call", "ORVEX.CTextTable", "--put", "ConnectingString", db, "--", "LoadStringsRS",
              "Messages", "Arabic", "--", "Text", "int:5", "--", "--get", "HelpContext"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "تمت العملية بنجاح\n0\n");
}

TEST(CallCommand, ReportsErrorsWithNumberSourceAndDescription) {
  const CliResult unknown = RunCli({"call", "ORVEX.NoSuchClass", "Anything"});
  EXPECT_NE(unknown.status, 0);
  EXPECT_EQ(unknown.out, "");
  EXPECT_EQ(unknown.err,
            "error 429 (0x000001AD) in ORVEX.NoSuchClass: ActiveX component can't create object\n");

  const CliResult member = RunCli({"call", "ORVEX.GErrors", "NoSuchMember"});
  EXPECT_EQ(member.status, 1);
  EXPECT_NE(member.err.find("error -2147352570 (0x80020006)"), std::string::npos) << member.err;

  const CliResult literal = RunCli({"call", "ORVEX.GErrors", "COMError", "bogus:1"});
  EXPECT_EQ(literal.status, 1);  // plain text, not a number: a type mismatch in the call
  EXPECT_NE(literal.err.find("error "), std::string::npos);

  const CliResult typed = RunCli({"call", "ORVEX.GErrors", "COMError", "int:abc"});
  EXPECT_EQ(typed.status, 1);
  EXPECT_NE(typed.err.find("error 13 (0x0000000D) in orvex call: argument 1 of COMError "
                           "('int:abc'): Type mismatch"),
            std::string::npos)
      << typed.err;
}

}  // namespace
}  // namespace orvex::testing
