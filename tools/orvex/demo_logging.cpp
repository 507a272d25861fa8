// The demo's logging: component and system errors, events and transactions, each to a text log,
// the database and an XML log, with the raised events counted.
#include <iostream>
#include <memory>

#include "demo_steps.hpp"
#include "foundation/error_path.hpp"
#include "orvex/data.hpp"
#include "orvex/host.hpp"
#include "orvex/log_error.hpp"
#include "orvex/log_event.hpp"
#include "orvex/log_xaction.hpp"
#include "orvex/modules.hpp"

namespace orvex::cli::demo {

namespace {

class ErrorEventCounter : public CLogErrorEvents {
 public:
  explicit ErrorEventCounter(DemoContext& context) : context_(context) {}
  void ShowError(const std::string& errSource, int32_t ErrNumber, const std::string& ErrDescription,
                 Date) override {
    ++context_.raisedEvents;
    context_.Out() << "  ShowError " << ErrNumber << " " << ErrDescription << "  [" << errSource
                   << "]\n";
  }

 private:
  DemoContext& context_;
};

class EventCounter : public CLogEventEvents {
 public:
  explicit EventCounter(DemoContext& context) : context_(context) {}
  void ShowEvent(std::string& strEvent) override {
    ++context_.raisedEvents;
    context_.Out() << "  ShowEvent " << strEvent << '\n';
  }

 private:
  DemoContext& context_;
};

class XactionCounter : public CLogXactionEvents {
 public:
  explicit XactionCounter(DemoContext& context) : context_(context) {}
  void ShowEvent(SafeArray& Data) override {
    ++context_.raisedEvents;
    context_.Out() << "  ShowEvent transaction " << CStr(Data[1]) << " of " << CStr(Data[3])
                   << '\n';
  }

 private:
  DemoContext& context_;
};

int32_t Destinations(const DemoContext& context) {
  const int32_t elt = ltRAISEEVENT | ltFILE | ltDB | ltXML;
  return context.interactive ? elt | ltMSGBOX : elt;
}

// A real system error: the data layer asked for a saved-rows file that is not there.
TErrorObject ProvokeSystemError(const DemoContext& context) {
  try {
    auto rows = std::make_shared<data::Recordset>();
    rows->Open(Variant(context.File("missing.rows")), Variant::Missing(), -1, -1, data::adCmdFile);
  } catch (const AutomationError& error) {
    return foundation::ErrorRecord(error);
  }
  return TErrorObject{53, "File not found", 0, "", 0, "Demo"};
}

TErrorObject ComponentError(int32_t classBits, int32_t messageID) {
  TErrorObject record;
  record.lNumber = static_cast<int32_t>(static_cast<uint32_t>(classBits) |
                                        static_cast<uint32_t>(kFirstErrorNumber + messageID));
  record.strSource = "Billing";
  return record;
}

void Report(DemoContext& context, const std::string& what, int32_t result) {
  context.Out() << "logged     " << what << " -> result " << result << '\n';
}

std::shared_ptr<CLogError> MakeErrorLogger(DemoContext& context) {
  auto logger = std::make_shared<CLogError>();
  logger->gttMessages = context.english;
  logger->gttErrors = context.english;
  logger->glERROR_B = kFirstErrorNumber;
  logger->glERROR_E = kLastErrorNumber;
  logger->gbDateStamp = true;
  logger->pLogFile(context.File("errors.log"));
  logger->pConnect(context.connection, "ErrorLog");
  logger->pLogXML(context.File("errors.xml"));
  logger->Advise(std::make_shared<ErrorEventCounter>(context));
  return logger;
}

}  // namespace

void LogErrors(DemoContext& context) {
  const auto logger = MakeErrorLogger(context);
  const int32_t elt = Destinations(context);
  TErrorObject notFound = ComponentError(etwcNSERRORS, 1);
  Report(context, "non-severe error 1001", logger->LogError("Billing", "Export", notFound, elt));
  TErrorObject offline = ComponentError(etwcSERRORS, 9);
  Report(context, "severe error 1009", logger->LogError("Billing", "Connect", offline, elt));
  // The same kind of error with the Arabic table: the logs then hold Arabic text.
  logger->gttMessages = context.arabic;
  TErrorObject arabic = ComponentError(etwcNSERRORS, 4);
  Report(context, "non-severe error 1004 (Arabic)",
         logger->LogError("Billing", "Report", arabic, elt));
  TErrorObject system = ProvokeSystemError(context);
  Report(context, "system error " + std::to_string(system.lNumber),
         logger->LogError("Demo", "LoadRows", system, elt));
  logger->SaveXMLLog();
}

void LogEvents(DemoContext& context) {
  auto logger = std::make_shared<CLogEvent>();
  logger->gbDateStamp = true;
  logger->pLogFile(context.File("events.log"));
  logger->pConnect(context.connection, "EventLog");
  logger->pLogXML(context.File("events.xml"));
  logger->Advise(std::make_shared<EventCounter>(context));
  for (std::string text : {"Demo started on " + MMain::gstrComputerName,
                           std::string("Messages loaded in English and Arabic")})
    logger->LogEvent(text, ltRAISEEVENT | ltFILE | ltDB | ltXML);
  logger->SaveXMLLog();
  context.Out() << "logged     2 events\n";
}

void LogTransactions(DemoContext& context) {
  auto logger = std::make_shared<CLogXaction>();
  logger->gbDateStamp = true;
  logger->pLogFile(context.File("transactions.log"));
  int16_t sourceCount = 0;
  logger->pConnect(context.connection, "Transactions", sourceCount);
  logger->pLogXML(context.File("transactions.xml"));
  logger->Advise(std::make_shared<XactionCounter>(context));
  const Date now = CurrentHost().Now();
  const std::vector<std::vector<Variant>> records = {
      {int32_t{1}, "POS-01", "Ahmed Hassan", 125.5, "Coffee beans", "Approved", now},
      {int32_t{2}, "POS-02", "Sara Ali", 89.99, "Olive oil", "Approved", now},
      {int32_t{3}, "WEB", "Omar Khalid", 1200.0, "Office chair", "Pending", now},
  };
  for (const auto& fields : records) {
    SafeArray record = SafeArray::Of(1, fields);
    logger->LogXaction(record, ltRAISEEVENT | ltFILE | ltDB | ltXML);
  }
  logger->SaveXMLLog();
  context.Out() << "logged     " << records.size() << " transactions\n";
}

}  // namespace orvex::cli::demo
