// A small client of the library: error sources, component error numbers, the general date text,
// the error logger with its event and message-box destinations, and an event and a transaction
// logged to every destination on a SQLite database in a temporary folder.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "orvex/data.hpp"
#include "orvex/gerrors.hpp"
#include "orvex/host.hpp"
#include "orvex/log_error.hpp"
#include "orvex/log_event.hpp"
#include "orvex/log_xaction.hpp"
#include "orvex/modules.hpp"

namespace {

// Prints each ShowError event the logger raises.
class PrintingSink : public orvex::CLogErrorEvents {
 public:
  void ShowError(const std::string& errSource, int32_t ErrNumber, const std::string& ErrDescription,
                 orvex::Date ErrDate) override {
    std::cout << "  ShowError event: #" << ErrNumber << " " << ErrDescription << "\n"
              << "    source: " << errSource << "\n"
              << "    at:     " << orvex::FormatGeneralDate(ErrDate) << "\n";
  }
};

// Prints the event text the logger is about to write; a handler could rewrite it here.
class PrintingEventSink : public orvex::CLogEventEvents {
 public:
  void ShowEvent(std::string& strEvent) override {
    std::cout << "  ShowEvent event: " << strEvent << "\n";
  }
};

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void PrintRows(const std::string& connectingString, const std::string& query) {
  orvex::data::Recordset rows;
  rows.Open(orvex::Variant(query), orvex::Variant(connectingString));
  for (; !rows.EOF_(); rows.MoveNext()) {
    std::cout << "   ";
    for (int32_t i = 0; i < rows.Fields()->Count(); ++i) {
      orvex::Variant value = rows.Fields()->Item(i)->Value();
      std::cout << " " << (value.IsNull() ? "Null" : orvex::CStr(value));
    }
    std::cout << "\n";
  }
}

// An event and a transaction through every destination of their loggers. The event log is
// written only on a host of the NT family (SystemLogHost sends it to syslog); the message boxes
// appear only when the demo runs interactively.
void LogEventAndTransaction(bool interactive) {
  using namespace orvex;
  std::string pattern = (std::filesystem::temp_directory_path() / "orvex-demo-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return;
  const std::filesystem::path folder = pattern;
  const std::string database = "Provider=SQLite;Data Source=" + (folder / "demo.db").string();
  {
    data::Connection setup;
    setup.Open(database);
    setup.Execute("CREATE TABLE Events (strEvent VARCHAR(255), dDate TIMESTAMP)");
    setup.Execute(
        "CREATE TABLE Transactions (Id INTEGER NOT NULL, Port VARCHAR(10), Transactor "
        "VARCHAR(40), Amount NUMERIC(12,2), Name VARCHAR(40), Status VARCHAR(10), "
        "WhenAt TIMESTAMP NOT NULL)");
    setup.Close();
  }
  const int32_t everyDestination =
      ltRAISEEVENT | ltFILE | ltDB | ltXML | ltEVENTLOG | (interactive ? ltMSGBOX : 0);

  auto events = std::make_shared<CLogEvent>();
  events->gbDateStamp = true;
  events->Advise(std::make_shared<PrintingEventSink>());
  events->pLogFile((folder / "events.log").string());
  events->pConnect(database, "Events");
  events->pLogXML((folder / "events.xml").string());
  std::string event = "Nightly backup finished";
  std::cout << "Logging an event:\n";
  events->LogEvent(event, everyDestination);
  events->SaveXMLLog();

  auto transactions = std::make_shared<CLogXaction>();
  int16_t sourceCount = 0;
  transactions->pLogFile((folder / "transactions.log").string());
  transactions->pConnect(database, "Transactions", sourceCount);
  transactions->pLogXML((folder / "transactions.xml").string());
  SafeArray record = SafeArray::Of(1, {Variant(1001), Variant("COM3"), Variant("Teller 7"),
                                       Variant("250.75"), Variant("Deposit"), Variant("OK")});
  std::cout << "Logging a transaction:\n";
  transactions->LogXaction(record, everyDestination & ~ltRAISEEVENT);
  transactions->SaveXMLLog();

  std::cout << "  events.log:\n" << FileText(folder / "events.log");
  std::cout << "  transactions.log:\n" << FileText(folder / "transactions.log");
  std::cout << "  rows of Events:\n";
  PrintRows(database, "SELECT strEvent, dDate FROM Events");
  std::cout << "  rows of Transactions:\n";
  PrintRows(database, "SELECT * FROM Transactions");
  std::cout << "  events.xml:\n" << FileText(folder / "events.xml") << "\n";
  std::cout << "  transactions.xml:\n" << FileText(folder / "transactions.xml") << "\n";
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace

int main() {
  using namespace orvex;
  MMain::Main();
  GErrors errors;
  std::cout << "ORVEX demo\n";
  std::cout << "Computer name:          " << MMain::gstrComputerName << "\n";
  std::cout << "SetErrSource:           " << errors.SetErrSource("Demo", "main") << "\n";
  std::cout << "COMError(5):            " << errors.COMError(5) << "\n";
  std::cout << "NSError(20000):         " << MErrors::NSError(20000) << "\n";
  std::cout << "PlainErrNumber(0xA00003E9): "
            << MErrors::PlainErrNumber(static_cast<int32_t>(0xA00003E9u)) << "\n";
  std::cout << "General date text now:  " << FormatGeneralDate(CurrentHost().Now()) << "\n";

  auto logger = std::make_shared<CLogError>();
  logger->glERROR_B = 1000;
  logger->glERROR_E = 1999;
  logger->Advise(std::make_shared<PrintingSink>());
  // The message boxes appear on the terminal only when the demo runs interactively.
  const bool interactive = isatty(STDIN_FILENO) != 0;
  const int32_t destinations = ltRAISEEVENT | (interactive ? ltMSGBOX : 0);

  TErrorObject component;
  component.lNumber = static_cast<int32_t>(0x90000000u | 1005);
  component.strDescription = "The order has no lines";
  component.strSource = "OrderEntry";
  std::cout << "Logging a component error:\n";
  int32_t result = logger->LogError("Orders", "Submit", component, destinations, 64);
  std::cout << "  result word: " << result << "\n";

  TErrorObject system;
  system.lNumber = -2147467259;
  system.strDescription = "Unspecified error";
  std::cout << "Logging a system error:\n";
  result = logger->LogError("Orders", "Save", system, destinations, 16);
  std::cout << "  result word: " << result << "\n";

  try {
    LogEventAndTransaction(interactive);
  } catch (const AutomationError& error) {
    std::cout << "Logging failed: #" << error.Number << " " << error.Description << "\n"
              << "  source: " << error.Source << "\n";
    return 1;
  }
  return 0;
}
