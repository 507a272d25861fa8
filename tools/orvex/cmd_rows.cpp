// orvex rows export|import: saved-rows files from a database query, to CSV and from CSV.
#include <iostream>
#include <memory>
#include <sstream>

#include "cli_args.hpp"
#include "cli_output.hpp"
#include "commands.hpp"
#include "csv.hpp"
#include "database_use.hpp"
#include "platform/files/atomic_file.hpp"
#include "platform/files/whole_file.hpp"
#include "rows_csv.hpp"

namespace orvex::cli {

namespace {

constexpr const char* kRowsHelp = R"(usage: orvex rows export|import ...

  rows export --db CONNSTR (--query "SELECT ..." | --table T) --out FILE
        runs the query and saves its rows to a saved-rows file
  rows export --rows FILE --csv OUT
        writes the rows of a saved-rows file as CSV with a header line (OUT "-" is stdout)
  rows import --csv FILE --out ROWSFILE
        makes a saved-rows file from CSV whose first line names the columns; every column
        holds text

Each prints the number of rows on stdout (except CSV written to stdout). CSV follows RFC 4180:
CR LF line ends, fields with commas, quotes or line breaks quoted, quotes doubled.
)";

constexpr const char* kRowsSource = "orvex rows";

const OptionSpec kRowsOptions{{"db", "query", "table", "out", "rows", "csv"}, {}};

std::string QueryOf(const Args& args) {
  if (args.Has("query")) return args.Get("query");
  if (args.Has("table")) return "SELECT * FROM " + args.Get("table");
  throw UsageError("rows", "export --db needs --query or --table");
}

int ExportQuery(const Args& args) {
  const int32_t count = SaveQueryRows(ExistingDatabase(args.Require("db"), DatabaseUse::Read),
                                      QueryOf(args), args.Require("out"));
  std::cout << count << " rows\n";
  return kExitOk;
}

int ExportCsv(const Args& args) {
  const std::string out = args.Require("csv");
  if (out == "-") {
    WriteRowsAsCsv(args.Require("rows"), std::cout);
    return kExitOk;
  }
  // Written beside OUT and renamed over it: a run that fails leaves the old OUT whole.
  std::ostringstream csv;
  const int32_t count = WriteRowsAsCsv(args.Require("rows"), csv);
  files::WriteFileAtomically(out, csv.str(), kRowsSource);
  std::cout << count << " rows\n";
  return kExitOk;
}

int ImportCsv(const Args& args) {
  const std::string in = args.Require("csv");
  std::istringstream file(files::ReadWholeFile(in, kRowsSource));
  const int32_t count = SaveCsvAsRows(ReadCsv(file), args.Require("out"));
  std::cout << count << " rows\n";
  return kExitOk;
}

}  // namespace

int RunRows(const Argv& argv) {
  if (PrintedHelp(argv, kRowsHelp)) return kExitOk;
  const Args args("rows", argv, kRowsOptions);
  const std::string& action = args.PositionalAt(0, "the action (export or import)");
  args.AllowAtMost(1);
  if (action == "export" && args.Has("db")) return ExportQuery(args);
  if (action == "export" && args.Has("rows")) return ExportCsv(args);
  if (action == "export") throw UsageError("rows", "export needs --db or --rows");
  if (action == "import") return ImportCsv(args);
  throw UsageError("rows", "unknown action '" + action + "' (use export or import)");
}

}  // namespace orvex::cli
