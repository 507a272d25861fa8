#include "orvex/log_error.hpp"

#include "logging/append_pieces.hpp"
#include "logging/format_hex.hpp"
#include "logging/xml_log.hpp"
#include "orvex/host.hpp"
#include "orvex/modules.hpp"
#include "platform/data/secret_redaction.hpp"
#include "platform/scripting/reused_buffer.hpp"

namespace orvex {

namespace {

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

// Runs one step of LogError; a failure inside it is ignored and LogError goes on.
template <class Step>
void Guarded(Step&& step) {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace

CLogError::CLogError() { MMain::EnsureMain(); }

CLogError::~CLogError() {
  Guarded([&] { mtsLog.reset(); });
  Guarded([&] { mXmlLog.reset(); });
}

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
  // objErr is read only here, before any destination can replace it with a failure record.
  const TErrorObject& error = objErr;
  const int32_t number = error.lNumber;
  const int32_t plain = MErrors::PlainErrNumber(number);

  // The source is composed in the room the last call left; a call made from inside this one
  // (by an event sink, say) finds the room taken and makes its own.
  std::string source = std::move(mstrSource);
  scripting::ClearForNextRecord(source);
  Guarded([&] { ComposeSource(source, ModuleName, ProcedureName, error.strSource); });

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
      Guarded([&] {
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
    Guarded([&] {
      Date now = CurrentHost().Now();
      events_.Fire(
          [&](CLogErrorEvents& sink) { sink.ShowError(source, number, *c.description, now); });
    });

  // Destinations that report failure as data: the flag goes into the result and the failure
  // record replaces the caller's error, so the last failing destination's record remains.
  auto visit = [&](int32_t flag, int32_t failedFlag, auto destination) {
    if ((elt & flag) == 0) return;
    Guarded([&] {
      TErrorObject failure = (this->*destination)(number, source, *c.description);
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
  visit(ltFILE, etwelrLOGTOFILE_FAILED, &CLogError::pLogToFile);
  visit(ltDB, etwelrLOGTODB_FAILED, &CLogError::pLogToDB);
  visit(ltXML, etwelrLOGTOXML_FAILED, &CLogError::pLogToXML);
  visit(ltEVENTLOG, etwelrLOGTONT_FAILED, &CLogError::pLogToNTEventLog);

  // The two message boxes: a component error in range is shown by its table (answer discarded),
  // a component error out of range is not shown, anything else in a plain box.
  auto showBox = [&](const std::string& plainPrompt) {
    Guarded([&] {
      if (c.kind == Classified::kOutOfRange) return;
      const bool inRangeKind = c.kind == Classified::kNonSevere || c.kind == Classified::kSevere;
      if (inRangeKind && table) {
        int32_t messageNumber = plain - glERROR_B;
        if (messageNumber < INT16_MIN || messageNumber > INT16_MAX) return;
        int32_t icon = c.kind == Classified::kNonSevere ? 64 : 16;
        table->Show(static_cast<int16_t>(messageNumber), icon, Variant(c.title), c.helpFile,
                    c.helpContext);
        return;
      }
      result |= CurrentHost().ShowMessageBox(plainPrompt, embs, c.title, c.helpFile, c.helpContext);
    });
  };
  if (elt & ltMSGBOX) {
    std::string prompt;
    Guarded([&] {
      std::string stampedSource = source;
      if (gbDateStamp) stampedSource = FormatGeneralDate(CurrentHost().Now()) + " " + source;
      prompt = stampedSource + "  *** Error #" + logging::NumberText(number) +
               " Description: " + " {" + *c.description + "}";
    });
    showBox(prompt);
  }
  if (elt & ltMSG_ONLY) showBox(*c.description);
  mstrSource = std::move(source);
  return result;
}

}  // namespace orvex
