// The tool's help and its answers to being called the wrong way.
#include <gtest/gtest.h>

#include "cli/cli_process.hpp"

namespace orvex::testing {
namespace {

TEST(Usage, EveryCommandHasHelp) {
  const CliResult top = RunCli({"--help"});
  EXPECT_EQ(top.status, 0);
  for (const char* command : {"demo", "text", "log", "rows", "call"}) {
    EXPECT_NE(top.out.find(std::string("  ") + command + " "), std::string::npos) << command;
    const CliResult help = RunCli({command, "--help"});
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_EQ(help.out.rfind(std::string("usage: orvex ") + command, 0), 0u) << help.out;
  }
}

TEST(Usage, MistakesAreErrorsWithTheirOwnStatus) {
  const CliResult none = RunCli({});
  EXPECT_EQ(none.status, 2);
  const CliResult unknown = RunCli({"frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err.rfind("error 5 (0x00000005) in orvex frobnicate: unknown command", 0), 0u)
      << unknown.err;
  const CliResult option = RunCli({"text", "get", "--bogus", "1"});
  EXPECT_EQ(option.status, 2);
  EXPECT_NE(option.err.find("unknown option --bogus"), std::string::npos);
  const CliResult value = RunCli({"log", "event", "--file"});
  EXPECT_EQ(value.status, 2);
  EXPECT_NE(value.err.find("--file needs a value"), std::string::npos);
  const CliResult number = RunCli(
      {"log", "error", "--to", "file", "--number", "12x", "--module", "M", "--procedure", "P"});
  EXPECT_EQ(number.status, 2);
  EXPECT_NE(number.err.find("'12x' is not a 32-bit number"), std::string::npos);
  const CliResult destination = RunCli({"log", "event", "--to", "pigeon", "x"});
  EXPECT_EQ(destination.status, 2);
  EXPECT_NE(destination.err.find("unknown destination 'pigeon'"), std::string::npos);
}

}  // namespace
}  // namespace orvex::testing
