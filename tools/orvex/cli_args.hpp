// Command-line arguments of one command: options with a value (--db CONNSTR or --db=CONNSTR),
// flags (--stamp) and positional arguments. Only the options a command declares are accepted.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "orvex/automation_error.hpp"

namespace orvex::cli {

// A mistake in how the tool was called; reported like any error, with its own exit status.
class UsageError : public AutomationError {
 public:
  UsageError(const std::string& command, const std::string& description)
      : AutomationError(errInvalidProcedureCall, "orvex " + command, description) {}
};

struct OptionSpec {
  std::set<std::string> valued;  // names without the dashes
  std::set<std::string> flags;
};

class Args {
 public:
  Args(std::string command, const std::vector<std::string>& argv, const OptionSpec& spec);

  const std::string& Command() const { return command_; }
  const std::vector<std::string>& Positional() const { return positional_; }
  bool Has(const std::string& name) const;
  std::string Get(const std::string& name, const std::string& fallback = "") const;
  // The option's value; a UsageError naming the option when it was not given.
  std::string Require(const std::string& name) const;
  // The positional argument at index; a UsageError saying what is missing when absent.
  const std::string& PositionalAt(size_t index, const std::string& what) const;
  // A UsageError when more than count positional arguments were given.
  void AllowAtMost(size_t count) const;

 private:
  void Take(const std::vector<std::string>& argv, size_t& i, const OptionSpec& spec);

  std::string command_;
  std::map<std::string, std::string> options_;
  std::set<std::string> flags_;
  std::vector<std::string> positional_;
};

// True when --help or -h stands among the arguments before a lone "--".
bool WantsHelp(const std::vector<std::string>& argv);
// When WantsHelp(argv), prints `help` on standard output and returns true: the command then
// ends with kExitOk.
bool PrintedHelp(const std::vector<std::string>& argv, const char* help);

// Reads a 32-bit number written in decimal (with a sign) or in hexadecimal (0x...); a value of
// 0x80000000 and above is taken as its two's complement, as error numbers are written.
int32_t ParseNumber(const std::string& command, const std::string& what, const std::string& text);

}  // namespace orvex::cli
