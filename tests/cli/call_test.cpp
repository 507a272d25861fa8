// orvex call: members invoked late-bound by name, with typed arguments, several on one object.
#include <gtest/gtest.h>

#include "cli/cli_process.hpp"

namespace orvex::testing {
namespace {

TEST(CallCommand, InvokesAMethodByNameAndPrintsItsResult) {
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  const CliResult source = RunCli({"call", "ORVEX.GErrors", "SetErrSource", "Mod", "Proc"});
  ASSERT_EQ(source.status, 0) << source.err;
  EXPECT_EQ(source.out, std::string("Mod.Proc::@") + host + "\n");
  // Names are case-insensitive; a typed argument reaches a Long parameter.
  EXPECT_EQ(RunCli({"call", "orvex.gerrors", "comerror", "int:5"}).out, "-2147221499\n");
}

TEST_F(DemoFolder, CallChainsCallsOnOneObject) {
  const CliResult result =
      RunCli({"call", "ORVEX.CTextTable", "--put", "ConnectingString", Db(), "--", "LoadStringsRS",
              "Messages", "Arabic", "--", "Text", "int:5", "--", "--get", "HelpContext"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "تمت العملية بنجاح\n0\n");
}

}  // namespace
}  // namespace orvex::testing
