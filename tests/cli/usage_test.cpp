// The tool's help, its version, and its answers to being called the wrong way: a mistake in the
// call exits with 2, a failure with 1, each with its error line on stderr and nothing on stdout.
#include <gtest/gtest.h>

#include "cli/cli_process.hpp"
#include "orvex/version.h"

namespace orvex::testing {
namespace {

TEST(Usage, EveryCommandHasHelp) {
  const CliResult top = RunCli({"--help"});
  EXPECT_EQ(top.status, 0);
  const CliResult none = RunCli({});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.out, top.out);
  for (const std::string command : {"demo", "text", "log", "rows", "call"}) {
    EXPECT_NE(top.out.find("  " + command + " "), std::string::npos) << command;
    const CliResult help = RunCli({command, "--help"});
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_EQ(help.out.rfind("usage: orvex " + command, 0), 0u) << help.out;
    EXPECT_EQ(RunCli({"help", command}).out, help.out);
  }
}

TEST(Usage, MistakesAndFailuresExitWithTheirStatusAndSayWhy) {
  TempDir temp;
  const std::string error = "log error --number 5 --module M --procedure P ";
  const std::string mistyped = temp.File("orvex.db");
  const CliCase cases[] = {
      {"frobnicate", 2, "", "error 5 (0x00000005) in orvex frobnicate: unknown command\n"},
      {"help nothing", 2, "", "no help on this: not a command"},
      {"text get --bogus 1", 2, "", "unknown option --bogus"},
      {"text get --db x.db", 2, "", "missing the ID"},
      {"text set --glossary g.xml 2 x", 2, "", "a glossary is read only"},
      {"text export --rows x.rows --language Arabic", 2, "", "--format is required"},
      {"text export --rows x.rows --language Arabic --format xlf", 2, "", "unknown format 'xlf'"},
      {"text import --rows x.rows --language Arabic --format po", 2, "", "missing the file"},
      {"log event --file", 2, "", "--file needs a value"},
      {"log event --to pigeon x", 2, "", "unknown destination 'pigeon'"},
      {error + "--to file --number 12x", 2, "", "'12x' is not a 32-bit number"},
      {error + "--to eventlog", 2, "", "--to eventlog writes nowhere without --syslog"},
      // Log files that cannot be written are refused before anything is logged.
      {error + "--file /missing/dir/app.log", 1, "",
       "--file /missing/dir/app.log: the folder /missing/dir does not exist"},
      {error + "--xml /tmp", 1, "", "--xml /tmp: this is a folder"},
      // A mistyped database path is reported, and no database is made there.
      {"text get --db DB 1", 1, "", mistyped},
      {"text set --db DB --table Messages 1 x", 1, "", mistyped},
      {"rows export --rows /missing.rows --csv -", 1, "", "/missing.rows"},
      {"call ORVEX.GErrors COMError int:abc", 1, "",
       "error 13 (0x0000000D) in orvex call: argument 1 of COMError ('int:abc'): Type mismatch"},
      {"call ORVEX.GErrors COMError bogus:1", 1, "", "(0x80020005)"},  // text for a Long
  };
  for (const CliCase& c : cases) ExpectResult(c, RunCli(Words(c.line, temp.path())));
  EXPECT_FALSE(std::filesystem::exists(mistyped));
}

TEST(Usage, VersionAndAnOutputThatCannotBeWritten) {
  EXPECT_EQ(RunCli({"--version"}).out, std::string("orvex ") + ORVEX_VERSION_STRING + " (library " +
                                           ORVEX_VERSION_STRING + ")\n");
  // Output that cannot be written is a failure, whatever the command did.
  const CliResult full = RunCli({"--version"}, "/dev/full");
  EXPECT_EQ(full.status, 1);
  EXPECT_NE(full.err.find("writing to standard output failed"), std::string::npos) << full.err;
}

TEST_F(DemoFolder, CallInvokesMethodsByNameAndChainsCallsOnOneObject) {
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  const CliResult source = RunCli({"call", "ORVEX.GErrors", "SetErrSource", "Mod", "Proc"});
  ASSERT_EQ(source.status, 0) << source.err;
  EXPECT_EQ(source.out, std::string("Mod.Proc::@") + host + "\n");
  // Names are case-insensitive; a typed argument reaches a Long parameter.
  EXPECT_EQ(RunCli({"call", "orvex.gerrors", "comerror", "int:5"}).out, "-2147221499\n");
  const CliResult chain =
      RunCli({"call", "ORVEX.CTextTable", "--put", "ConnectingString", Db(), "--", "LoadStringsRS",
              "Messages", "Arabic", "--", "Text", "int:5", "--", "--get", "HelpContext"});
  ASSERT_EQ(chain.status, 0) << chain.err;
  EXPECT_EQ(chain.out, "تمت العملية بنجاح\n0\n");
}

}  // namespace
}  // namespace orvex::testing
