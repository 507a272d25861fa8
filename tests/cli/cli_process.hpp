// Runs the built orvex tool as a separate process, and the folder of one demo run that the tests
// of the other commands work on.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace orvex::testing {

struct CliResult {
  int status = -1;  // the exit status
  std::string out;  // stdout ("" when it went to a file)
  std::string err;  // stderr
};

// Runs orvex with the arguments (no shell reads them) and an empty stdin, without a terminal or
// a display: the tool must never wait for a user here. stdout goes to stdoutPath when given.
inline CliResult RunCli(std::vector<std::string> args, const std::string& stdoutPath = "") {
  TempDir capture;
  const std::string out = stdoutPath.empty() ? capture.File("out") : stdoutPath;
  const std::string err = capture.File("err");
  args.insert(args.begin(), ORVEX_CLI_PATH);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    if (!freopen("/dev/null", "r", stdin) || !freopen(out.c_str(), "w", stdout) ||
        !freopen(err.c_str(), "w", stderr))
      _exit(126);
    setsid();
    unsetenv("DISPLAY");
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
          stdoutPath.empty() ? ReadFile(out) : "", ReadFile(err)};
}

// The connection string of the orvex.db in the folder.
inline std::string Database(const std::filesystem::path& folder) {
  return "Provider=SQLite;Data Source=" + (folder / "orvex.db").string();
}

// The words of a command line, split at spaces: "@name" stands for the file of that name in the
// folder, and DB for the connection string of its orvex.db.
inline std::vector<std::string> Words(const std::string& line,
                                      const std::filesystem::path& folder = {}) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;)
    words.push_back(word == "DB"     ? Database(folder)
                    : word[0] == '@' ? (folder / word.substr(1)).string()
                                     : word);
  return words;
}

// `orvex demo` without a folder, run once per process: it makes a fresh temporary one.
struct DemoRun : CliResult {
  std::string folder;
  DemoRun() : CliResult(RunCli({"demo"})) {
    std::smatch named;
    if (std::regex_search(out, named, std::regex("folder +(\\S+)\\n"))) folder = named[1];
  }
  ~DemoRun() {
    if (!folder.empty()) std::filesystem::remove_all(folder);
  }
};

inline const DemoRun& Demo() {
  static const DemoRun run;
  return run;
}

// Each test works on its own copy of the demo's folder.
class DemoFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Demo().status, 0) << Demo().err;
    ASSERT_TRUE(std::filesystem::is_directory(Demo().folder)) << Demo().out;
    std::filesystem::copy(Demo().folder, temp_.path(), std::filesystem::copy_options::recursive);
  }
  // orvex with the words of the line, "@name" and DB standing for the folder's files.
  CliResult Run(const std::string& line) const { return RunCli(Words(line, temp_.path())); }
  std::string File(const std::string& name) const { return temp_.File(name); }
  std::string Db() const { return Database(temp_.path()); }

  TempDir temp_;
};

// A case of a table: a command line, the exit status it gives, what it prints (whole or in part,
// as the table says) and a part of what it writes on stderr.
struct CliCase {
  std::string line;
  int status;
  std::string out = "";
  std::string err = "";
};

// The result has the case's status, its whole output, and its part of the error output.
inline void ExpectResult(const CliCase& c, const CliResult& result) {
  EXPECT_EQ(result.status, c.status) << c.line << "\n" << result.err;
  EXPECT_EQ(result.out, c.out) << c.line;
  EXPECT_NE(result.err.find(c.err), std::string::npos) << c.line << "\n" << result.err;
}

}  // namespace orvex::testing
