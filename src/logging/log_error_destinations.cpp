// The destinations of the error logger that report their failure as data: the text log, the
// database table, the XML log and the event log.
#include "foundation/error_path.hpp"
#include "logging/append_pieces.hpp"
#include "logging/format_hex.hpp"
#include "logging/xml_log.hpp"
#include "orvex/data.hpp"
#include "orvex/host.hpp"
#include "orvex/log_error.hpp"
#include "orvex/modules.hpp"
#include "platform/data/sql_names.hpp"
#include "platform/scripting/file_system.hpp"
#include "platform/scripting/reused_buffer.hpp"

namespace orvex {

namespace {

// The failure record of the error being handled: what stopped the destination, as data.
TErrorObject FailureRecord() {
  AutomationError error = foundation::PendingError();
  TErrorObject record;
  record.lNumber = error.Number;
  record.strDescription = error.Description;
  record.strSource = error.Source;
  record.lLastDllError = error.LastDllError;
  record.strHelpFile = error.HelpFile;
  record.lHelpContext = error.HelpContext;
  return record;
}

template <class Step>
void Ignoring(Step&& step) {
  try {
    step();
  } catch (...) {
  }
}

constexpr int32_t kUnspecifiedError = static_cast<int32_t>(0x80004005u);

}  // namespace

std::string CLogError::ErrorLine(int32_t number, const std::string& source,
                                 const std::string& description) {
  std::string line;
  line.reserve(source.size() + description.size() + 64);
  AppendErrorLine(line, number, source, description);
  return line;
}

void CLogError::AppendErrorLine(std::string& line, int32_t number, const std::string& source,
                                const std::string& description) {
  if (gbDateStamp) logging::AppendPieces(line, {FormatGeneralDate(CurrentHost().Now()), "  "});
  logging::AppendPieces(line, {"Error #", logging::NumberChars(number).View(), " at ", source,
                               " Description: ", " {", description, "}"});
}

void CLogError::pLogFile(const std::string& strFileName) {
  Ignoring([&] {
    mtsLog = scripting::FileSystem().OpenTextFile(strFileName, scripting::ForAppending, true,
                                                  scripting::TristateTrue);
  });
}

TErrorObject CLogError::pLogToFile(int32_t number, const std::string& source,
                                   const std::string& description) {
  try {
    if (!mtsLog)
      Raise(errObjectNotSet, "CLogError", "No text log file is open: set pLogFile first");
    // The record line and the blank line after it in one write: one system call per record.
    scripting::ClearForNextRecord(mstrFileRecord);
    AppendErrorLine(mstrFileRecord, number, source, description);
    mstrFileRecord.append("\r\n\r\n");
    mtsLog->Write(mstrFileRecord);
    return {};
  } catch (...) {
    return FailureRecord();
  }
}

TErrorObject CLogError::pLogToNTEventLog(int32_t number, const std::string& source,
                                         const std::string& description) {
  try {
    if (MUtility::IsNT())
      CurrentHost().WriteEventLog(ErrorLine(number, source, description), evtError);
    return {};
  } catch (...) {
    return FailureRecord();
  }
}

void CLogError::pConnect(const std::string& strConnectingString, const std::string& strTableName,
                         const std::shared_ptr<CLogError>& le) {
  (void)le;
  // Every step runs even when an earlier one failed: what was made before a failure stays.
  Ignoring([&] {
    madoConnection = std::make_shared<data::Connection>();
    madoConnection->ConnectionString = strConnectingString;
    // Between records the session waits in the pool, shared with the thread's other loggers.
    madoConnection->HoldSessionOnlyWhileRunning();
    madoConnection->Open("", "", "", -1);
  });
  Ignoring([&] {
    madocmdInsertError = std::make_shared<data::Command>();
    madocmdInsertError->ActiveConnection = madoConnection;
    madocmdInsertError->CommandType = data::adCmdText;
  });
  mstrDBTableName = strTableName;
  Ignoring([&] {
    data::internal::RequireSqlName(strTableName, "strTableName");
    madocmdInsertError->CommandText = "INSERT INTO " + strTableName +
                                      " ( lErrorNumber, strDescription, strSource,dDate ) " +
                                      " VALUES ( ?, ?,?,? )";
  });
  Ignoring([&] { madocmdInsertError->Prepared = true; });
  Ignoring([&] {
    // The statement binds by position; the source and date parameters are named differently
    // from their columns.
    data::Parameters& parameters = *madocmdInsertError->Parameters();
    parameters.Append(madocmdInsertError->CreateParameter(
        "lErrorNumber", data::adInteger, data::adParamInput, 4, Variant(int16_t{0})));
    parameters.Append(madocmdInsertError->CreateParameter("strDescription", data::adVarChar,
                                                          data::adParamInput, 255, Variant("")));
    parameters.Append(madocmdInsertError->CreateParameter("strErrorSource", data::adVarChar,
                                                          data::adParamInput, 255, Variant("")));
    parameters.Append(madocmdInsertError->CreateParameter(
        "dErrorDate", data::adDate, data::adParamInput, 8, Variant(int16_t{0})));
  });
}

TErrorObject CLogError::pLogToDB(int32_t number, const std::string& source,
                                 const std::string& description) {
  try {
    const int32_t plain = MErrors::PlainErrNumber(number);
    if (!madocmdInsertError)
      Raise(errObjectNotSet, "CLogError", "No database destination: call pConnect first");
    // A refused table name has left the insert without a text: say why.
    data::internal::RequireSqlName(mstrDBTableName, "strTableName");
    // A server out of reach at pConnect is tried again with each record.
    if (madoConnection && madoConnection->State() != data::adStateOpen &&
        madocmdInsertError->ActiveConnection == madoConnection)
      madoConnection->Open("", "", "", -1);
    data::Parameters& parameters = *madocmdInsertError->Parameters();
    parameters["lErrorNumber"]->Value = Variant(plain);
    parameters["strDescription"]->Value = Variant(description.empty() ? " " : description);
    parameters["strErrorSource"]->Value = Variant(source.empty() ? " " : source);
    parameters["dErrorDate"]->Value = gbDateStamp ? Variant(CurrentHost().Now()) : Variant::Null();
    madocmdInsertError->Execute(nullptr, Variant::Missing(), -1);
    return {};
  } catch (...) {
    TErrorObject failure = FailureRecord();
    if (failure.lNumber == kUnspecifiedError) {
      // The unspecified error of a provider is what a read-only database gives: name it.
      std::string dataSource;
      Ignoring([&] { dataSource = CStr(madoConnection->Property(7)); });
      failure.strSource += ":" + dataSource + " is read-only";
    }
    return failure;
  }
}

TErrorObject CLogError::pLogToXML(int32_t number, const std::string& source,
                                  const std::string& description) {
  try {
    if (!mXmlLog) Raise(errObjectNotSet, "CLogError", "No XML log: set pLogXML first");
    xmldom::NodePtr record = mXmlLog->NewRecord("error");
    if (gbDateStamp) mXmlLog->AddAttribute(record, "dDate", CurrentHost().Now());
    mXmlLog->AddAttribute(record, "lErrorNumber", MErrors::PlainErrNumber(number));
    mXmlLog->AddAttribute(record, "strDescription", description);
    mXmlLog->AddAttribute(record, "strSource", source);
    mXmlLog->BufferRecord(record);
    return {};
  } catch (...) {
    return FailureRecord();
  }
}

void CLogError::pLogXML(const std::string& strFileName) {
  Ignoring([&] {
    if (!mXmlLog) mXmlLog = std::make_unique<logging::XmlLog>("errors");
    mXmlLog->Start(strFileName);
  });
}

void CLogError::SaveXMLLog() {
  if (!mXmlLog) Raise(errObjectNotSet, "CLogError", "No XML log: set pLogXML first");
  mXmlLog->Save();
}

void CLogError::ClearXMLLog() {
  Ignoring([&] {
    if (!mXmlLog) mXmlLog = std::make_unique<logging::XmlLog>("errors");
    mXmlLog->Clear();
  });
}

void CLogError::CloseXMLLog() {
  if (mXmlLog) mXmlLog->Close();
}

}  // namespace orvex
