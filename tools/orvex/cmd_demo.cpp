// orvex demo: the library's main job end to end on the embedded SQLite default. Builds a
// database of English and Arabic messages, logs errors, events and transactions to text files,
// the database and XML logs, saves the messages as a saved-rows file and reads it back, and ends
// with a table of what went where.
#include <filesystem>
#include <iostream>

#include "cli_args.hpp"
#include "cli_output.hpp"
#include "commands.hpp"
#include "demo_data.hpp"
#include "demo_steps.hpp"
#include "demo_summary.hpp"
#include "orvex/gerrors.hpp"
#include "orvex/host.hpp"
#include "orvex/modules.hpp"

namespace orvex::cli {

namespace {

constexpr const char* kDemoHelp = R"(usage: orvex demo [--interactive] [FOLDER]

Runs the library end to end in FOLDER (created when missing; a fresh temporary folder when
omitted), replacing the demo's own files there:
  orvex.db          SQLite: Messages (English, Arabic), LanguageStrings, ErrorLog, EventLog,
                    Transactions
  errors.log        the error text log (UTF-16LE), errors.xml its XML log
  events.log        the event text log, events.xml
  transactions.log  the transaction text log, transactions.xml
  messages.rows     the messages as a saved-rows file, read back through CTextTable3
and prints a summary of the records in each destination.

  --interactive     also show message boxes (the errors, and an Arabic message laid out right
                    to left); without it the demo never waits for a user
)";

const char* const kDemoFiles[] = {"orvex.db",         "orvex.db-journal", "orvex.db-wal",
                                  "orvex.db-shm",     "errors.log",       "errors.xml",
                                  "events.log",       "events.xml",       "transactions.log",
                                  "transactions.xml", "messages.rows"};

std::string MakeFolder(const Args& args) {
  if (args.Positional().empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvex-demo.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      Raise(errPathNotFound, "orvex demo", "cannot create a temporary folder");
    return pattern;
  }
  const std::filesystem::path folder = std::filesystem::absolute(args.Positional()[0]);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder))
    Raise(errPathNotFound, "orvex demo", "cannot create the folder " + folder.string());
  // A second run starts afresh: only the demo's own files are removed.
  for (const char* name : kDemoFiles) std::filesystem::remove(folder / name, error);
  return folder.string();
}

std::vector<demo::SummaryRow> Summarize(const demo::DemoContext& context) {
  using namespace demo;
  const std::string& db = context.connection;
  return {
      {"CTextTable", "database", "Messages", CountTableRows(db, "Messages")},
      {"CTextTable", "database", "LanguageStrings", CountTableRows(db, "LanguageStrings")},
      {"CLogError", "text file", context.File("errors.log"),
       CountUtf16Lines(context.File("errors.log"), "Error #")},
      {"CLogError", "database", "ErrorLog", CountTableRows(db, "ErrorLog")},
      {"CLogError", "xml", context.File("errors.xml"),
       CountXmlRecords(context.File("errors.xml"), "error", false)},
      {"CLogEvent", "text file", context.File("events.log"),
       CountTextLines(context.File("events.log"))},
      {"CLogEvent", "database", "EventLog", CountTableRows(db, "EventLog")},
      {"CLogEvent", "xml", context.File("events.xml"),
       CountXmlRecords(context.File("events.xml"), "event", false)},
      {"CLogXaction", "text file", context.File("transactions.log"),
       CountTextLines(context.File("transactions.log"))},
      {"CLogXaction", "database", "Transactions", CountTableRows(db, "Transactions")},
      {"CLogXaction", "xml", context.File("transactions.xml"),
       CountXmlRecords(context.File("transactions.xml"), "transactions", true)},
      {"all loggers", "event", "ShowError / ShowEvent", context.raisedEvents},
  };
}

void ShowArabicMessage(demo::DemoContext& context) {
  context.Out() << "Arabic message 5: " << context.arabic->Text(5) << '\n';
  if (context.interactive) context.arabic->Show(5, 64, Variant("ORVEX"));
}

}  // namespace

int RunDemo(const Argv& argv) {
  if (PrintedHelp(argv, kDemoHelp)) return kExitOk;
  const Args args("demo", argv, OptionSpec{{}, {"interactive"}});
  args.AllowAtMost(1);
  demo::DemoContext context;
  context.folder = MakeFolder(args);
  if (context.folder.find(';') != std::string::npos)
    throw UsageError("demo",
                     "the folder's path may not contain ';' (it goes into a connection string)");
  context.connection = "Provider=SQLite;Data Source=" + context.File("orvex.db");
  context.interactive = args.Has("interactive");
  context.out = &std::cout;
  MMain::Main();
  std::cout << "folder     " << context.folder << '\n';
  std::cout << "source     " << GErrors().SetErrSource("Demo", "RunDemo") << '\n';
  std::cout << "date text  " << FormatGeneralDate(CurrentHost().Now()) << '\n';
  demo::CreateDatabase(context);
  demo::LoadTexts(context);
  demo::LogErrors(context);
  demo::LogEvents(context);
  demo::LogTransactions(context);
  const int32_t savedRows = demo::SaveMessageRows(context);
  ShowArabicMessage(context);
  std::vector<demo::SummaryRow> summary = Summarize(context);
  summary.insert(summary.begin() + 2,
                 {"CTextTable3", "saved rows", context.File("messages.rows"), savedRows});
  std::cout << "\nsummary\n";
  demo::PrintSummary(summary, std::cout);
  return kExitOk;
}

}  // namespace orvex::cli
