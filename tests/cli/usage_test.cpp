// The tool's help and its answers to being called the wrong way.
#include <gtest/gtest.h>

#include "cli/cli_process.hpp"
#include "orvex/version.h"

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

TEST(Usage, VersionHelpTopicsAndAFailedWrite) {
  const CliResult version = RunCli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("orvex ") + ORVEX_VERSION_STRING + " (library " +
                             ORVEX_VERSION_STRING + ")\n");
  EXPECT_EQ(RunCli({"help", "log"}).out, RunCli({"log", "--help"}).out);
  EXPECT_EQ(RunCli({"help", "nothing"}).status, 2);
  // Output that cannot be written is a failure, whatever the command did.
  const CliResult full = RunCli({"--version"}, "/dev/full");
  EXPECT_EQ(full.status, 1);
  EXPECT_NE(full.err.find("writing to standard output failed"), std::string::npos) << full.err;
}

}  // namespace
}  // namespace orvex::testing
