#include "orvex/log_error.hpp"

#include "foundation/error_path.hpp"
#include "logging/append_pieces.hpp"
#include "logging/format_hex.hpp"
#include "logging/sinks/database_sink.hpp"
#include "logging/sinks/event_log_sink.hpp"
#include "logging/sinks/message_box_sink.hpp"
#include "logging/sinks/text_file_sink.hpp"
#include "logging/sinks/xml_log_sink.hpp"
#include "orvex/data.hpp"
#include "orvex/host.hpp"
#include "orvex/modules.hpp"
#include "platform/data/secret_redaction.hpp"
#include "platform/data/sql_names.hpp"
#include "platform/scripting/reused_buffer.hpp"

namespace orvex {

namespace {

constexpr const char* kClassName = "CLogError";

// What LogError decided about one error before visiting the destinations.
struct Classified {
  enum Kind { kNonSevere, kSevere, kOutOfRange, kSystem } kind = kSystem;
  // The caller's description is read where it stands (no copy per record) until a destination
  // is about to replace the caller's error; the table's text is held here.
  std::string ownDescription;
  const std::string* description = &ownDescription;
  std::string helpFile;
  int32_t helpContext = 0;
  std::string title;
  int32_t result = etwelrSERROR;
};

// The composed source: where the error happened, on which computer, and the chain it came by.
void ComposeSource(std::string& source, const std::string& moduleName,
                   const std::string& procedureName, const std::string& priorSource) {
  const char* separator = priorSource.find('@') != std::string::npos ? " >> " : "-";
  logging::AppendPieces(source, {"@", MMain::gstrComputerName, " in ", moduleName, ".",
                                 procedureName, separator, priorSource});
}

// The error line of the text log and the event log.
void AppendErrorLine(std::string& line, bool dateStamp, int32_t number, const std::string& source,
                     const std::string& description) {
  if (dateStamp) logging::AppendPieces(line, {FormatGeneralDate(CurrentHost().Now()), "  "});
  logging::AppendPieces(line, {"Error #", logging::NumberText(number), " at ", source,
                               " Description: ", " {", description, "}"});
}

// The failure record of the error being handled: what stopped the destination, as data.
TErrorObject FailureRecord() { return foundation::ErrorRecord(foundation::PendingError()); }

}  // namespace

struct ORVEX_LIBRARY_ONLY CLogError::Impl {
  // The destinations that report their failure as data: each returns the empty record on
  // success, the failure record otherwise.
  TErrorObject pLogToFile(const CLogError& self, int32_t number, const std::string& source,
                          const std::string& description);
  TErrorObject pLogToDB(const CLogError& self, int32_t number, const std::string& source,
                        const std::string& description);
  TErrorObject pLogToXML(const CLogError& self, int32_t number, const std::string& source,
                         const std::string& description);
  TErrorObject pLogToNTEventLog(const CLogError& self, int32_t number, const std::string& source,
                                const std::string& description);

  // The sinks hold the private state the loggers' contract names: the text log's stream
  // (mtsLog), the connection (madoConnection; the insert is the public madocmdInsertError) and
  // the XML log's document.
  logging::TextFileSink text_file_{logging::TextFileSink::Kind::kUnicodeKeptOpen, kClassName};
  logging::DatabaseSink database_{logging::DatabaseSink::Sessions::kKeptConnection, kClassName};
  std::string table_name_;  // checked again by every database record: pConnect cannot raise
  logging::XmlLogSink xml_log_{"errors", logging::XmlLogSink::Creation::kAtFirstUse, kClassName};
  logging::EventLogSink event_log_;
  logging::MessageBoxSink message_box_;
  ConnectionPoint<CLogErrorEvents> events_;
  std::string source_room_;  // the composed source's room, reused from call to call
};

CLogError::CLogError() : impl_(std::make_unique<Impl>()) { MMain::EnsureMain(); }

CLogError::~CLogError() = default;

uint32_t CLogError::Advise(std::shared_ptr<CLogErrorEvents> sink) {
  return impl_->events_.Advise(std::move(sink));
}

void CLogError::Unadvise(uint32_t cookie) { impl_->events_.Unadvise(cookie); }

std::shared_ptr<CLogError> CLogError::Clone() {
  auto clone = std::make_shared<CLogError>();
  clone->gbDateStamp = gbDateStamp;
  clone->glHelpContext = glHelpContext;
  clone->glERROR_B = glERROR_B;
  clone->glERROR_E = glERROR_E;
  clone->gstrHelpFile = gstrHelpFile;
  clone->gttErrors = gttErrors;
  clone->gttMessages = gttMessages;
  return clone;
}

int32_t CLogError::LogError(const std::string& ModuleName, const std::string& ProcedureName,
                            TErrorObject& objErr, int32_t elt, int32_t embs,
                            const std::string& Title) {
  Impl& impl = *impl_;
  // objErr is read only here, before any destination can replace it with a failure record.
  const TErrorObject& error = objErr;
  const int32_t number = error.lNumber;
  const int32_t plain = MErrors::PlainErrNumber(number);

  // The source is composed in the room the last call left; a call made from inside this one
  // (by an event sink, say) finds the room taken and makes its own.
  std::string source = std::move(impl.source_room_);
  scripting::ClearForNextRecord(source);
  foundation::IgnoringFailure(
      [&] { ComposeSource(source, ModuleName, ProcedureName, error.strSource); });

  // Classification: a component error inside the client's range takes its text from a table.
  Classified c;
  const bool component = MErrors::IsNonSevere(number) || MErrors::IsSevere(number);
  const bool inRange = component && plain >= glERROR_B && plain <= glERROR_E;
  const std::shared_ptr<CTextTable> table =
      !inRange ? nullptr : (MErrors::IsNonSevere(number) ? gttMessages : gttErrors);
  if (inRange) {
    const bool nonSevere = MErrors::IsNonSevere(number);
    c.kind = nonSevere ? Classified::kNonSevere : Classified::kSevere;
    c.helpFile = gstrHelpFile;
    c.helpContext = glHelpContext;
    c.title = !Title.empty()
                  ? Title
                  : (nonSevere ? "Non Severe Component Error" : "Severe Component Error");
    c.result = nonSevere ? etwelrNSERROR : etwelrSERROR;
    if (table)
      foundation::IgnoringFailure([&] {
        c.ownDescription = table->Text(
            static_cast<int32_t>(static_cast<uint32_t>(plain) - static_cast<uint32_t>(glERROR_B)));
      });
    else
      c.description = &error.strDescription;
  } else {
    c.kind = component ? Classified::kOutOfRange : Classified::kSystem;
    c.description = &error.strDescription;
    c.helpFile = error.strHelpFile;
    c.helpContext = error.lHelpContext;
    // The title is composed only when a message box will need it.
    if (elt & (ltMSGBOX | ltMSG_ONLY))
      c.title = !Title.empty() ? Title : "System Error at " + ModuleName + "::" + ProcedureName;
  }
  int32_t result = c.result;
  // A password quoted in a description (a connection string, a URI) reaches no destination.
  if (data::internal::HoldsSecrets(*c.description)) {
    c.ownDescription = data::internal::RedactSecrets(*c.description);
    c.description = &c.ownDescription;
  }

  if (elt & ltRAISEEVENT)
    foundation::IgnoringFailure([&] {
      Date now = CurrentHost().Now();
      impl.events_.Fire(
          [&](CLogErrorEvents& sink) { sink.ShowError(source, number, *c.description, now); });
    });

  // Destinations that report failure as data: the flag goes into the result and the failure
  // record replaces the caller's error, so the last failing destination's record remains.
  auto visit = [&](int32_t flag, int32_t failedFlag, auto destination) {
    if ((elt & flag) == 0) return;
    foundation::IgnoringFailure([&] {
      TErrorObject failure = (impl.*destination)(*this, number, source, *c.description);
      if (failure.lNumber != 0) {
        result |= failedFlag;
        if (c.description == &objErr.strDescription) {
          c.ownDescription = objErr.strDescription;
          c.description = &c.ownDescription;
        }
        objErr = failure;
      }
    });
  };
  visit(ltFILE, etwelrLOGTOFILE_FAILED, &Impl::pLogToFile);
  visit(ltDB, etwelrLOGTODB_FAILED, &Impl::pLogToDB);
  visit(ltXML, etwelrLOGTOXML_FAILED, &Impl::pLogToXML);
  visit(ltEVENTLOG, etwelrLOGTONT_FAILED, &Impl::pLogToNTEventLog);

  // The two message boxes: a component error in range is shown by its table (answer discarded),
  // a component error out of range is not shown, anything else in a plain box.
  auto showBox = [&](const std::string& plainPrompt) {
    foundation::IgnoringFailure([&] {
      if (c.kind == Classified::kOutOfRange) return;
      const bool inRangeKind = c.kind == Classified::kNonSevere || c.kind == Classified::kSevere;
      if (inRangeKind && table) {
        int32_t messageNumber = plain - glERROR_B;
        if (messageNumber < INT16_MIN || messageNumber > INT16_MAX) return;
        int32_t icon = c.kind == Classified::kNonSevere ? 64 : 16;
        impl.message_box_.ShowMessage(*table, static_cast<int16_t>(messageNumber), icon,
                                      Variant(c.title), c.helpFile, c.helpContext);
        return;
      }
      result |= impl.message_box_.Ask(plainPrompt, embs, c.title, c.helpFile, c.helpContext);
    });
  };
  if (elt & ltMSGBOX) {
    std::string prompt;
    foundation::IgnoringFailure([&] {
      std::string stampedSource = source;
      if (gbDateStamp) stampedSource = FormatGeneralDate(CurrentHost().Now()) + " " + source;
      prompt = stampedSource + "  *** Error #" + logging::NumberText(number) +
               " Description: " + " {" + *c.description + "}";
    });
    showBox(prompt);
  }
  if (elt & ltMSG_ONLY) showBox(*c.description);
  impl.source_room_ = std::move(source);
  return result;
}

// ---- The text log --------------------------------------------------------------------------

void CLogError::pLogFile(const std::string& strFileName) {
  foundation::IgnoringFailure([&] { impl_->text_file_.Open(strFileName); });
}

TErrorObject CLogError::Impl::pLogToFile(const CLogError& self, int32_t number,
                                         const std::string& source,
                                         const std::string& description) {
  try {
    text_file_.Write([&](std::string& line) {
      AppendErrorLine(line, self.gbDateStamp, number, source, description);
    });
    return {};
  } catch (...) {
    return FailureRecord();
  }
}

// ---- The event log -------------------------------------------------------------------------

TErrorObject CLogError::Impl::pLogToNTEventLog(const CLogError& self, int32_t number,
                                               const std::string& source,
                                               const std::string& description) {
  try {
    event_log_.Write(
        [&] {
          std::string line;
          AppendErrorLine(line, self.gbDateStamp, number, source, description);
          return line;
        },
        evtError);
    return {};
  } catch (...) {
    return FailureRecord();
  }
}

// ---- The database table --------------------------------------------------------------------

void CLogError::pConnect(const std::string& strConnectingString, const std::string& strTableName,
                         const std::shared_ptr<CLogError>& le) {
  (void)le;
  // Every step runs even when an earlier one failed: what was made before a failure stays.
  foundation::IgnoringFailure([&] { impl_->database_.Connect(strConnectingString); });
  foundation::IgnoringFailure([&] { madocmdInsertError = impl_->database_.NewInsert(); });
  impl_->table_name_ = strTableName;
  foundation::IgnoringFailure([&] {
    data::internal::RequireSqlName(strTableName, "strTableName");
    madocmdInsertError->CommandText = "INSERT INTO " + strTableName +
                                      " ( lErrorNumber, strDescription, strSource,dDate ) " +
                                      " VALUES ( ?, ?,?,? )";
  });
  foundation::IgnoringFailure([&] { madocmdInsertError->Prepared = true; });
  foundation::IgnoringFailure([&] {
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

TErrorObject CLogError::Impl::pLogToDB(const CLogError& self, int32_t number,
                                       const std::string& source, const std::string& description) {
  try {
    const std::shared_ptr<data::Command>& insert = self.madocmdInsertError;
    database_.RequireInsert(insert);
    // A refused table name has left the insert without a text: say why.
    data::internal::RequireSqlName(table_name_, "strTableName");
    data::Parameters& parameters = *insert->Parameters();
    parameters["lErrorNumber"]->Value = Variant(MErrors::PlainErrNumber(number));
    parameters["strDescription"]->Value = Variant(description.empty() ? " " : description);
    parameters["strErrorSource"]->Value = Variant(source.empty() ? " " : source);
    parameters["dErrorDate"]->Value =
        self.gbDateStamp ? Variant(CurrentHost().Now()) : Variant::Null();
    database_.Insert(insert);
    return {};
  } catch (...) {
    TErrorObject failure = FailureRecord();
    if (failure.lNumber == data::E_FAIL) {
      // The unspecified error of a provider is what a read-only database gives: name it.
      std::string dataSource;
      foundation::IgnoringFailure([&] {
        if (database_.KeptConnection()) dataSource = CStr(database_.KeptConnection()->Property(7));
      });
      failure.strSource += ":" + dataSource + " is read-only";
    }
    return failure;
  }
}

// ---- The XML log ---------------------------------------------------------------------------

TErrorObject CLogError::Impl::pLogToXML(const CLogError& self, int32_t number,
                                        const std::string& source, const std::string& description) {
  try {
    xml_log_.Write("error", [&](logging::XmlRecord& record) {
      record.AddStamp("dDate", self.gbDateStamp);
      record.Add("lErrorNumber", MErrors::PlainErrNumber(number));
      record.Add("strDescription", description);
      record.Add("strSource", source);
    });
    return {};
  } catch (...) {
    return FailureRecord();
  }
}

void CLogError::pLogXML(const std::string& strFileName) {
  foundation::IgnoringFailure([&] { impl_->xml_log_.Start(strFileName); });
}

void CLogError::SaveXMLLog() { impl_->xml_log_.Save(); }

void CLogError::ClearXMLLog() {
  foundation::IgnoringFailure([&] { impl_->xml_log_.Clear(); });
}

void CLogError::CloseXMLLog() { impl_->xml_log_.Close(); }

}  // namespace orvex
