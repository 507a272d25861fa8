// Runs the built orvex tool as a separate process and collects what it printed.
#pragma once

#include <string>
#include <vector>

namespace orvex::testing {

struct CliResult {
  int status = -1;  // the exit status
  std::string out;  // stdout
  std::string err;  // stderr
};

// Runs orvex with the arguments (no shell interpretation of them); stdin is empty. Standard output
// goes to stdoutPath when one is given (out is then empty).
CliResult RunCli(const std::vector<std::string>& args, const std::string& stdoutPath = "");

// The whole content of a file as bytes ("" when it cannot be read).
std::string ReadBytes(const std::string& path);

// This machine's name, as the library reports it.
std::string HostName();

// "Provider=SQLite;Data Source=<path>"
std::string SqliteConnection(const std::string& path);

// The rows of a query, each column as text ("" for Null).
std::vector<std::vector<std::string>> QueryRows(const std::string& connection,
                                                const std::string& sql);

}  // namespace orvex::testing
