#include "cli_process.hpp"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "orvex/data.hpp"
#include "support/temp_dir.hpp"

namespace orvex::testing {

namespace {

std::string ToolPath() {
  if (const char* path = std::getenv("ORVEX_CLI")) return path;
#ifdef ORVEX_CLI_PATH
  return ORVEX_CLI_PATH;
#else
  // Beside the test binary in the build tree: <build>/tests/test_cli -> <build>/tools/orvex/orvex.
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "tools" /
          "orvex" / "orvex")
      .string();
#endif
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const std::string& stdoutPath) {
  TempDir capture;
  const std::string outPath = stdoutPath.empty() ? capture.File("stdout") : stdoutPath;
  const std::string errPath = capture.File("stderr");
  const pid_t child = fork();
  if (child == 0) {
    std::vector<std::string> words{ToolPath()};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    // No terminal and no display: the tool must never wait for a user here.
    if (!freopen("/dev/null", "r", stdin) || !freopen(outPath.c_str(), "w", stdout) ||
        !freopen(errPath.c_str(), "w", stderr))
      _exit(126);
    setsid();
    unsetenv("DISPLAY");
    execv(argv[0], argv.data());
    _exit(127);
  }
  int wstatus = 0;
  waitpid(child, &wstatus, 0);
  CliResult result;
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  result.out = stdoutPath.empty() ? ReadBytes(outPath) : "";
  result.err = ReadBytes(errPath);
  return result;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string HostName() {
  std::array<char, 256> name{};
  if (gethostname(name.data(), name.size() - 1) != 0) return "";
  return name.data();
}

std::string SqliteConnection(const std::string& path) {
  return "Provider=SQLite;Data Source=" + path;
}

std::vector<std::vector<std::string>> QueryRows(const std::string& connection,
                                                const std::string& sql) {
  auto db = std::make_shared<data::Connection>();
  db->Open(connection);
  const auto rows = db->Execute(sql);
  std::vector<std::vector<std::string>> result;
  for (; !rows->EOF_(); rows->MoveNext()) {
    std::vector<std::string> row;
    const auto fields = rows->Fields();
    for (int32_t i = 0; i < fields->Count(); ++i) {
      const Variant value = fields->Item(i)->Value();
      row.push_back(value.IsNull() ? "" : CStr(value));
    }
    result.push_back(row);
  }
  db->Close();
  return result;
}

}  // namespace orvex::testing
