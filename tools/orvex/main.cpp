// orvex: the library's command-line face. Runs the demo, looks texts up and edits them, logs
// errors, events and transactions from shell scripts, moves saved rows to and from CSV, and
// calls any member of any class late-bound by name.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli_args.hpp"
#include "cli_output.hpp"
#include "commands.hpp"
#include "orvex/orvex_c.h"
#include "orvex/version.h"

namespace {

using orvex::cli::Argv;

struct CommandEntry {
  const char* name;
  const char* summary;
  int (*run)(const Argv&);
};

constexpr CommandEntry kCommands[] = {
    {"demo", "the library's main job end to end on an embedded SQLite database",
     orvex::cli::RunDemo},
    {"text", "look up, change, add, export and import texts of a multilingual table",
     orvex::cli::RunText},
    {"log", "log an error, an event or a transaction to chosen destinations", orvex::cli::RunLog},
    {"rows", "export and import saved-rows files (from a database, to and from CSV)",
     orvex::cli::RunRows},
    {"call", "call a member of a class late-bound by name", orvex::cli::RunCall},
};

void PrintUsage(std::ostream& out) {
  out << "usage: orvex COMMAND [OPTIONS] [ARGS...]\n\ncommands:\n";
  for (const CommandEntry& entry : kCommands)
    out << "  " << entry.name << std::string(8 - std::string(entry.name).size(), ' ')
        << entry.summary << '\n';
  out << "\n'orvex help COMMAND' (or 'orvex COMMAND --help') describes a command; 'orvex\n"
         "--version' prints the version. Errors are written to stderr as\n"
         "'error <number> (0x<hex>) in <source>: <description>' with a non-zero exit status.\n"
         "A connection string (--db, --texts-db) may instead be read from an environment\n"
         "variable (--db-env VAR) or from the first line of a file (--db-file FILE), so that\n"
         "no password stands on the command line; passwords are written as *** in output.\n";
}

const CommandEntry* FindCommand(const std::string& name) {
  for (const CommandEntry& entry : kCommands)
    if (name == entry.name) return &entry;
  return nullptr;
}

// What the command printed must have reached standard output (a full disk, a closed pipe).
int FlushedOutput(int status) {
  std::cout.flush();
  if (std::fflush(stdout) == 0 && !std::ferror(stdout) && std::cout.good()) return status;
  const int error = errno;
  constexpr int32_t kDeviceIoError = 57;  // the runtime's "Device I/O error"
  std::cerr << orvex::cli::ErrorLine(error == ENOSPC ? orvex::errDiskFull : kDeviceIoError, "orvex",
                                     std::string("writing to standard output failed: ") +
                                         (error != 0 ? std::strerror(error) : "write error"))
            << '\n';
  return status != orvex::cli::kExitOk ? status : orvex::cli::kExitError;
}

int Run(const Argv& words) {
  if (words.empty() || words[0] == "--help" || words[0] == "-h" ||
      (words[0] == "help" && words.size() == 1)) {
    PrintUsage(std::cout);
    return words.empty() ? orvex::cli::kExitUsage : orvex::cli::kExitOk;
  }
  if (words[0] == "--version") {
    // The tool's own version, and the library's it runs with.
    std::cout << "orvex " << ORVEX_VERSION_STRING << " (library " << orvex_version() << ")\n";
    return orvex::cli::kExitOk;
  }
  // "orvex help TOPIC" is "orvex TOPIC --help".
  const bool help = words[0] == "help";
  const std::string& name = help ? words[1] : words[0];
  const CommandEntry* command = FindCommand(name);
  const Argv rest = help ? Argv{"--help"} : Argv(words.begin() + 1, words.end());
  return orvex::cli::RunReporting([&] {
    if (command == nullptr)
      throw orvex::cli::UsageError(name,
                                   help ? "no help on this: not a command" : "unknown command");
    return command->run(rest);
  });
}

}  // namespace

int main(int argc, char** argv) { return FlushedOutput(Run(Argv(argv + 1, argv + argc))); }
