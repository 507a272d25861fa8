// How the tool reports: plain results on stdout, errors on stderr as
// "error <number> (0x........) in <source>: <description>", and the exit status.
#pragma once

#include <functional>
#include <string>

#include "orvex/automation_error.hpp"

namespace orvex::cli {

enum ExitStatus : int {
  kExitOk = 0,
  kExitError = 1,      // the library or the system reported an error
  kExitUsage = 2,      // the tool was called the wrong way
  kExitLogFailed = 3,  // a log destination failed (the record was not everywhere)
};

// "error 429 (0x000001AD) in ORVEX: ActiveX component can't create object"
std::string ErrorLine(const AutomationError& error);
std::string ErrorLine(int32_t number, const std::string& source, const std::string& description);
void PrintError(const AutomationError& error);

// Runs a command, turning every escaping error into its report and exit status.
int RunReporting(const std::function<int()>& command);

}  // namespace orvex::cli
