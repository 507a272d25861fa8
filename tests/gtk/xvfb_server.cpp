#include "gtk/xvfb_server.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace orvex::testing {

namespace {

constexpr int kStartTimeoutMs = 20000;

void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
}

// Xvfb writes its display number and a newline on the descriptor once it accepts clients.
std::string ReadDisplayNumber(int fd) {
  std::string number;
  while (true) {
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, kStartTimeoutMs) <= 0) return "";
    char c = 0;
    if (read(fd, &c, 1) != 1) return "";
    if (c == '\n') return number;
    number.push_back(c);
  }
}

}  // namespace

std::unique_ptr<XvfbServer> XvfbServer::Start() {
  int numberPipe[2];
  if (pipe(numberPipe) != 0) return nullptr;
  fcntl(numberPipe[0], F_SETFD, FD_CLOEXEC);
  std::string writeFd = std::to_string(numberPipe[1]);
  std::vector<std::string> arguments = {"Xvfb",        "-displayfd", writeFd, "-screen", "0",
                                        "1024x768x24", "-nolisten",  "tcp",   "-noreset"};
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int spawned = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(numberPipe[1]);
  if (spawned != 0) {
    close(numberPipe[0]);
    return nullptr;
  }
  std::string number = ReadDisplayNumber(numberPipe[0]);
  close(numberPipe[0]);
  if (number.empty()) {
    Stop(pid);
    return nullptr;
  }
  return std::unique_ptr<XvfbServer>(new XvfbServer(pid, ":" + number));
}

XvfbServer::~XvfbServer() { Stop(pid_); }

}  // namespace orvex::testing
