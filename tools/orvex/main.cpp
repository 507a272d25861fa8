// orvex: the library's command-line face. Runs the demo, looks texts up and edits them, logs
// errors, events and transactions from shell scripts, moves saved rows to and from CSV, and
// calls any member of any class late-bound by name.
#include <iostream>
#include <string>
#include <vector>

#include "cli_args.hpp"
#include "cli_output.hpp"
#include "commands.hpp"

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
  out << "\n'orvex COMMAND --help' describes a command. Errors are written to stderr as\n"
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

}  // namespace

int main(int argc, char** argv) {
  const Argv words(argv + 1, argv + argc);
  if (words.empty() || words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
    PrintUsage(std::cout);
    return words.empty() ? orvex::cli::kExitUsage : orvex::cli::kExitOk;
  }
  const CommandEntry* command = FindCommand(words[0]);
  const Argv rest(words.begin() + 1, words.end());
  return orvex::cli::RunReporting([&] {
    if (command == nullptr) throw orvex::cli::UsageError(words[0], "unknown command");
    return command->run(rest);
  });
}
