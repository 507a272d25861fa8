// The tool's commands. Each takes the arguments after its own name and returns the exit status;
// errors escape as exceptions and are reported by the caller.
#pragma once

#include <string>
#include <vector>

namespace orvex::cli {

using Argv = std::vector<std::string>;

int RunDemo(const Argv& argv);
int RunText(const Argv& argv);
int RunLog(const Argv& argv);
int RunRows(const Argv& argv);
int RunCall(const Argv& argv);

}  // namespace orvex::cli
