#include "orvex/log_event.hpp"

#include "foundation/error_path.hpp"
#include "logging/sinks/database_sink.hpp"
#include "logging/sinks/event_log_sink.hpp"
#include "logging/sinks/message_box_sink.hpp"
#include "logging/sinks/text_file_sink.hpp"
#include "logging/sinks/xml_log_sink.hpp"
#include "orvex/data.hpp"
#include "orvex/host.hpp"
#include "orvex/modules.hpp"
#include "platform/data/sql_names.hpp"

namespace orvex {

namespace {

constexpr const char* kClassName = "CLogEvent";

}  // namespace

struct ORVEX_LIBRARY_ONLY CLogEvent::Impl {
  // The sinks hold the private state the loggers' contract names: the text file's path
  // (mstrFileName), the connection (madoConnection), the XML log's document and the message
  // box's GMessage (mobjMessage).
  logging::TextFileSink text_file_{logging::TextFileSink::Kind::kAsciiPerRecord, kClassName};
  logging::DatabaseSink database_{logging::DatabaseSink::Sessions::kKeptConnection, kClassName};
  std::shared_ptr<data::Command> madocmdInsertEvent;
  logging::XmlLogSink xml_log_{"events", logging::XmlLogSink::Creation::kWithTheLogger, kClassName};
  logging::EventLogSink event_log_;
  logging::MessageBoxSink message_box_;
  ConnectionPoint<CLogEventEvents> events_;
};

CLogEvent::CLogEvent() : impl_(std::make_unique<Impl>()) { MMain::EnsureMain(); }

CLogEvent::~CLogEvent() = default;

uint32_t CLogEvent::Advise(std::shared_ptr<CLogEventEvents> sink) {
  return impl_->events_.Advise(std::move(sink));
}

void CLogEvent::Unadvise(uint32_t cookie) { impl_->events_.Unadvise(cookie); }

bool CLogEvent::LogEvent(std::string& strEvent, int32_t elt) {
  Impl& impl = *impl_;
  // Every destination but the XML one reads this copy, so a rewrite by the event handler, or
  // the file's date stamp, reaches the destinations after it.
  std::string workingCopy = strEvent;
  if (elt & ltRAISEEVENT)
    impl.events_.Fire([&](CLogEventEvents& sink) { sink.ShowEvent(workingCopy); });

  if (elt & ltFILE) {
    // The file is a best-effort copy: no failure of it (no pLogFile, a bad path, a full disk)
    // reaches the client or stops the destinations after it. The stamp is applied only once
    // the file is open, so a file that cannot be opened leaves the working copy as it was.
    try {
      impl.text_file_.Write([&](std::string& line) {
        if (gbDateStamp) workingCopy = FormatGeneralDate(CurrentHost().Now()) + " " + workingCopy;
        line.append(workingCopy);
      });
    } catch (...) {
    }
  }

  if (elt & ltDB) {
    try {
      impl.database_.RequireInsert(impl.madocmdInsertEvent);
      data::Parameters& parameters = *impl.madocmdInsertEvent->Parameters();
      parameters["strEvent"]->Value = Variant(workingCopy.empty() ? " " : workingCopy);
      parameters["dDate"]->Value = gbDateStamp ? Variant(CurrentHost().Now()) : Variant::Null();
      impl.database_.Insert(impl.madocmdInsertEvent);
    } catch (...) {
      foundation::RaiseAgain(kClassName, "pLogToDB");
    }
  }

  if (elt & ltXML) {
    try {
      impl.xml_log_.Write("event", [&](logging::XmlRecord& record) {
        record.Add("strEvent", strEvent);
        record.AddStamp("dDate", gbDateStamp);
      });
    } catch (...) {
      foundation::RaiseAgain(kClassName, "pLogToXML");
    }
  }

  if (elt & ltEVENTLOG) {
    try {
      impl.event_log_.Write([&] { return workingCopy; }, evtInformation);
    } catch (...) {
      foundation::RaiseAgain(kClassName, "pLogToNTEventLog");
    }
  }

  // No error path: a text that is not a message number reaches the client as it was raised.
  if (elt & ltMSGBOX) {
    if (gttEvents)
      impl.message_box_.ShowMessage(*gttEvents, CInt(Variant(workingCopy)), 16384,
                                    Variant::Missing(), gstrHelpFile, glHelpContext);
    else
      impl.message_box_.ShowText(workingCopy, 16384, "", gstrHelpFile, glHelpContext);
  }
  return false;
}

void CLogEvent::pLogFile(const std::string& strFileName) { impl_->text_file_.Open(strFileName); }

void CLogEvent::pConnect(const std::string& strConnectingString, const std::string& strTableName) {
  Impl& impl = *impl_;
  try {
    impl.database_.Connect(strConnectingString);
    impl.madocmdInsertEvent = impl.database_.NewInsert();
    data::internal::RequireSqlName(strTableName, "strTableName");
    impl.madocmdInsertEvent->CommandText =
        "INSERT INTO " + strTableName + " (  strEvent,dDate ) " + " VALUES ( ?,? )";
    impl.madocmdInsertEvent->Prepared = true;
    data::Parameters& parameters = *impl.madocmdInsertEvent->Parameters();
    parameters.Append(impl.madocmdInsertEvent->CreateParameter(
        "strEvent", data::adVarChar, data::adParamInput, 255, Variant("")));
    parameters.Append(impl.madocmdInsertEvent->CreateParameter(
        "dDate", data::adDate, data::adParamInput, 8, Variant(int16_t{0})));
  } catch (...) {
    foundation::RaiseAgain(kClassName, "pConnect");
  }
}

void CLogEvent::pLogXML(const std::string& strFileName) { impl_->xml_log_.Start(strFileName); }

void CLogEvent::SaveXMLLog() { impl_->xml_log_.Save(); }

void CLogEvent::ClearXMLLog() { impl_->xml_log_.Clear(); }

void CLogEvent::CloseXMLLog() { impl_->xml_log_.Close(); }

}  // namespace orvex
