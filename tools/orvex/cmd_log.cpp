// orvex log error|event|xaction: one record to the destinations a shell script chooses.
#include <iostream>
#include <memory>

#include "cli_args.hpp"
#include "cli_output.hpp"
#include "commands.hpp"
#include "database_use.hpp"
#include "log_destinations.hpp"
#include "orvex/host.hpp"
#include "orvex/log_error.hpp"
#include "orvex/log_event.hpp"
#include "orvex/log_xaction.hpp"
#include "orvex/modules.hpp"
#include "writable_path.hpp"

namespace orvex::cli {

namespace {

constexpr const char* kLogHelp =
    R"(usage: orvex log error|event|xaction [DESTINATIONS] [OPTIONS] ...

  log error --number N --description D [--source S] --module M --procedure P
            prints the result word of LogError (number and names); exit status 3 and the
            failure record on stderr when a destination failed
            [--range B:E --texts-table T [--texts-db CONNSTR] [--language L]] takes the
            descriptions of component errors B..E from a text table (ID = number - B)
  log event TEXT
  log xaction FIELD...   the fields of one transaction (Data(1), Data(2), ...)

DESTINATIONS:
  --to LIST          comma-separated: event, file, db, xml, eventlog, msgbox, msgonly, raise
                     (default: those whose options are given below)
  --file PATH        the text log (appended to)
  --db CONNSTR --table T
                     the database table (ErrorLog, EventLog or a transaction table)
  --xml FILE         the XML log, saved after logging
  --stamp            date-stamp the records (gbDateStamp)
  --syslog           let the eventlog destination write to syslog (eventlog needs it: the
                     default host keeps no event log)

Example: orvex log error --file app.log --number 53 --description "File not found" \
           --module Billing --procedure Export
)";

const OptionSpec kLogOptions{
    {"to", "file", "db", "table", "xml", "number", "description", "source", "module", "procedure",
     "range", "texts-table", "texts-db", "language"},
    {"stamp", "syslog"}};

int32_t ChosenDestinations(const Args& args) {
  if (args.Has("to")) {
    const int32_t elt = ParseDestinations("log", args.Get("to"));
    if ((elt & ltEVENTLOG) != 0 && !args.Has("syslog"))
      throw UsageError("log",
                       "--to eventlog writes nowhere without --syslog (the default host "
                       "keeps no event log)");
    return elt;
  }
  int32_t elt = 0;
  if (args.Has("file")) elt |= ltFILE;
  if (args.Has("db")) elt |= ltDB;
  if (args.Has("xml")) elt |= ltXML;
  if (elt == 0) throw UsageError("log", "no destination: give --to, --file, --db or --xml");
  return elt;
}

// Events raised by the loggers are printed, so that "--to event" shows what a client would get.
class PrintingErrorSink : public CLogErrorEvents {
 public:
  void ShowError(const std::string& errSource, int32_t ErrNumber, const std::string& ErrDescription,
                 Date ErrDate) override {
    std::cout << "event ShowError " << ErrNumber << " " << errSource << ": " << ErrDescription
              << " (" << FormatGeneralDate(ErrDate) << ")\n";
  }
};

class PrintingEventSink : public CLogEventEvents {
 public:
  void ShowEvent(std::string& strEvent) override {
    std::cout << "event ShowEvent " << strEvent << '\n';
  }
};

class PrintingXactionSink : public CLogXactionEvents {
 public:
  void ShowEvent(SafeArray& Data) override {
    std::cout << "event ShowEvent";
    for (int32_t i = Data.LBound(); i <= Data.UBound(); ++i)
      std::cout << (i == Data.LBound() ? " " : ":") << CStr(Data[i]);
    std::cout << '\n';
  }
};

// The text log and the XML log must be writable: a logger reports a file it cannot open only as
// a failed destination, without the reason.
void CheckLogFiles(const Args& args) {
  if (args.Has("file")) RequireWritableFile("log", "file", args.Get("file"));
  if (args.Has("xml")) RequireWritableFile("log", "xml", args.Get("xml"));
}

std::string TableOf(const Args& args) {
  if (!args.Has("table")) throw UsageError("log", "--db needs --table");
  return args.Get("table");
}

// The component-error range and its text table, when the caller gives them.
void SetComponentTexts(CLogError& logger, const Args& args) {
  if (!args.Has("range")) return;
  const std::string range = args.Get("range");
  const size_t colon = range.find(':');
  if (colon == std::string::npos) throw UsageError("log", "--range is written B:E");
  logger.glERROR_B = ParseNumber("log", "range start", range.substr(0, colon));
  logger.glERROR_E = ParseNumber("log", "range end", range.substr(colon + 1));
  if (!args.Has("texts-table")) return;
  auto texts = std::make_shared<CTextTable>();
  texts->ConnectingString(ExistingDatabase(
      args.Has("texts-db") ? args.Get("texts-db") : args.Require("db"), DatabaseUse::Read));
  texts->LoadStringsRS(args.Get("texts-table"), args.Get("language"));
  logger.gttMessages = texts;
  logger.gttErrors = texts;
}

TErrorObject ErrorFromArguments(const Args& args) {
  TErrorObject error;
  error.lNumber = ParseNumber("log", "error number", args.Require("number"));
  error.strDescription = args.Get("description");
  error.strSource = args.Get("source");
  return error;
}

int LogErrorCommand(const Args& args) {
  args.AllowAtMost(1);
  auto logger = std::make_shared<CLogError>();
  logger->gbDateStamp = args.Has("stamp");
  SetComponentTexts(*logger, args);
  if (args.Has("file")) logger->pLogFile(args.Get("file"));
  if (args.Has("db"))
    logger->pConnect(ExistingDatabase(args.Get("db"), DatabaseUse::Write), TableOf(args));
  if (args.Has("xml")) logger->pLogXML(args.Get("xml"));
  logger->Advise(std::make_shared<PrintingErrorSink>());
  TErrorObject error = ErrorFromArguments(args);
  const int32_t result = logger->LogError(args.Require("module"), args.Require("procedure"), error,
                                          ChosenDestinations(args));
  if (args.Has("xml")) logger->SaveXMLLog();
  std::cout << result << ' ' << ResultWordNames(result) << '\n';
  const bool failed = (result & (etwelrLOGTODB_FAILED | etwelrLOGTOFILE_FAILED |
                                 etwelrLOGTONT_FAILED | etwelrLOGTOXML_FAILED)) != 0;
  if (!failed) return kExitOk;
  std::cerr << ErrorLine(error.lNumber, error.strSource, error.strDescription) << '\n';
  return kExitLogFailed;
}

int LogEventCommand(const Args& args) {
  std::string text = args.PositionalAt(1, "the event text");
  args.AllowAtMost(2);
  auto logger = std::make_shared<CLogEvent>();
  logger->gbDateStamp = args.Has("stamp");
  if (args.Has("file")) logger->pLogFile(args.Get("file"));
  if (args.Has("db"))
    logger->pConnect(ExistingDatabase(args.Get("db"), DatabaseUse::Write), TableOf(args));
  if (args.Has("xml")) logger->pLogXML(args.Get("xml"));
  logger->Advise(std::make_shared<PrintingEventSink>());
  logger->LogEvent(text, ChosenDestinations(args));
  if (args.Has("xml")) logger->SaveXMLLog();
  return kExitOk;
}

// The fields as a one-based record, as the transaction logger reads it.
SafeArray RecordOf(const Args& args) {
  const std::vector<std::string>& words = args.Positional();
  if (words.size() < 2) throw UsageError("log", "missing the transaction's fields");
  SafeArray record(1, static_cast<int32_t>(words.size() - 1));
  for (size_t i = 1; i < words.size(); ++i) record[static_cast<int32_t>(i)] = Variant(words[i]);
  return record;
}

int LogXactionCommand(const Args& args) {
  SafeArray record = RecordOf(args);
  auto logger = std::make_shared<CLogXaction>();
  logger->gbDateStamp = args.Has("stamp");
  if (args.Has("file")) logger->pLogFile(args.Get("file"));
  if (args.Has("db")) {
    int16_t sourceCount = 0;
    logger->pConnect(ExistingDatabase(args.Get("db"), DatabaseUse::Write), TableOf(args),
                     sourceCount);
  }
  if (args.Has("xml")) logger->pLogXML(args.Get("xml"));
  logger->Advise(std::make_shared<PrintingXactionSink>());
  logger->LogXaction(record, ChosenDestinations(args));
  if (args.Has("xml")) logger->SaveXMLLog();
  return kExitOk;
}

}  // namespace

int RunLog(const Argv& argv) {
  if (PrintedHelp(argv, kLogHelp)) return kExitOk;
  const Args args("log", argv, kLogOptions);
  const std::string& kind = args.PositionalAt(0, "what to log (error, event or xaction)");
  ChosenDestinations(args);  // the destinations are checked before anything is logged
  CheckLogFiles(args);
  if (args.Has("syslog")) SetHost(std::make_shared<SystemLogHost>());
  MMain::Main();
  if (kind == "error") return LogErrorCommand(args);
  if (kind == "event") return LogEventCommand(args);
  if (kind == "xaction") return LogXactionCommand(args);
  throw UsageError("log", "unknown record kind '" + kind + "' (use error, event or xaction)");
}

}  // namespace orvex::cli
