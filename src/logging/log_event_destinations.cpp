// The destinations of the event logger that write somewhere: the text file, the database table,
// the XML log and the event log, and the calls that prepare them.
#include "foundation/error_path.hpp"
#include "logging/record_file.hpp"
#include "logging/xml_log.hpp"
#include "orvex/data.hpp"
#include "orvex/host.hpp"
#include "orvex/log_event.hpp"
#include "orvex/modules.hpp"
#include "platform/data/sql_names.hpp"

namespace orvex {

namespace {

constexpr const char* kClassName = "CLogEvent";

}  // namespace

void CLogEvent::pLogFile(const std::string& strFileName) {
  mstrFileName = strFileName;
  logging::CreateRecordFileIfMissing(strFileName);
}

void CLogEvent::pLogToFile(std::string& workingCopy) {
  // The file is a best-effort copy: no failure of it (no pLogFile, a bad path, a full disk)
  // reaches the client or stops the destinations after it. The stamp is applied only once the
  // file is open, so a file that cannot be opened leaves the working copy as it was.
  try {
    files::AppendFile file = logging::OpenRecordFile(mstrFileName);
    if (gbDateStamp) workingCopy = FormatGeneralDate(CurrentHost().Now()) + " " + workingCopy;
    logging::WriteRecord(file, workingCopy);
  } catch (...) {
  }
}

void CLogEvent::pConnect(const std::string& strConnectingString, const std::string& strTableName) {
  try {
    madoConnection = std::make_shared<data::Connection>();
    madoConnection->ConnectionString = strConnectingString;
    // Between records the session waits in the pool, shared with the thread's other loggers.
    madoConnection->HoldSessionOnlyWhileRunning();
    madoConnection->Open("", "", "", -1);
    madocmdInsertEvent = std::make_shared<data::Command>();
    madocmdInsertEvent->ActiveConnection = madoConnection;
    madocmdInsertEvent->CommandType = data::adCmdText;
    data::internal::RequireSqlName(strTableName, "strTableName");
    madocmdInsertEvent->CommandText =
        "INSERT INTO " + strTableName + " (  strEvent,dDate ) " + " VALUES ( ?,? )";
    madocmdInsertEvent->Prepared = true;
    data::Parameters& parameters = *madocmdInsertEvent->Parameters();
    parameters.Append(madocmdInsertEvent->CreateParameter("strEvent", data::adVarChar,
                                                          data::adParamInput, 255, Variant("")));
    parameters.Append(madocmdInsertEvent->CreateParameter("dDate", data::adDate, data::adParamInput,
                                                          8, Variant(int16_t{0})));
  } catch (...) {
    foundation::RaiseAgain(kClassName, "pConnect");
  }
}

void CLogEvent::pLogToDB(const std::string& workingCopy) {
  try {
    if (!madocmdInsertEvent)
      Raise(errObjectNotSet, kClassName, "No database destination: call pConnect first");
    data::Parameters& parameters = *madocmdInsertEvent->Parameters();
    parameters["strEvent"]->Value = Variant(workingCopy.empty() ? " " : workingCopy);
    parameters["dDate"]->Value = gbDateStamp ? Variant(CurrentHost().Now()) : Variant::Null();
    madocmdInsertEvent->Execute(nullptr, Variant::Missing(), -1);
  } catch (...) {
    foundation::RaiseAgain(kClassName, "pLogToDB");
  }
}

void CLogEvent::pLogToXML(const std::string& strEvent) {
  try {
    xmldom::NodePtr record = mXmlLog->NewRecord("event");
    mXmlLog->AddAttribute(record, "strEvent", strEvent);
    if (gbDateStamp) mXmlLog->AddAttribute(record, "dDate", CurrentHost().Now());
    mXmlLog->BufferRecord(record);
  } catch (...) {
    foundation::RaiseAgain(kClassName, "pLogToXML");
  }
}

void CLogEvent::pLogToNTEventLog(const std::string& workingCopy) {
  try {
    if (MUtility::IsNT()) CurrentHost().WriteEventLog(workingCopy, evtInformation);
  } catch (...) {
    foundation::RaiseAgain(kClassName, "pLogToNTEventLog");
  }
}

}  // namespace orvex
