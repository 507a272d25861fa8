// Runs gettext's tools on the files the tests write.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

namespace orvex::testing {

// Runs a shell command line and returns its exit status (-1 when it could not run).
inline int ShellCommand(const std::string& commandLine) {
  const int status = std::system(commandLine.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace orvex::testing
