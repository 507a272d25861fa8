// Runs the X tools a desktop test drives the screen with (Xvfb, xdotool, import).
#pragma once

#include <string>
#include <vector>

namespace orvex::testing {

struct ProgramResult {
  int exitCode = -1;   // -1 when the program could not be started or was killed
  std::string output;  // what it wrote to standard output
};

// Runs the program (looked up on PATH) to its end; its standard error is discarded.
ProgramResult RunProgram(const std::vector<std::string>& arguments);

// True when the program can be found on PATH.
bool ProgramOnPath(const std::string& name);

}  // namespace orvex::testing
