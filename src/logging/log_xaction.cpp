#include "orvex/log_xaction.hpp"

#include <limits>

#include "foundation/error_path.hpp"
#include "logging/xml_log.hpp"
#include "orvex/data.hpp"
#include "orvex/host.hpp"
#include "orvex/modules.hpp"

namespace orvex {

namespace {

constexpr const char* kClassName = "CLogXaction";

// The texts of Data(1) .. Data(UBound); a missing element gives "". Raises 9 when the array has
// elements but no Data(1), 6 when the upper bound passes the 16-bit counter, 94 for Null.
std::vector<std::string> BuildFieldTexts(const SafeArray& Data) {
  std::vector<std::string> fields;
  if (MUtility::ElementCount(Data) < 1) return fields;
  const int32_t upper = Data.UBound();
  if (upper < 1)
    Raise(errSubscriptOutOfRange, kDefaultErrorSource,
          "The transaction record has no element 1: its fields start at index 1");
  if (upper > std::numeric_limits<int16_t>::max()) Raise(errOverflow);
  fields.reserve(static_cast<size_t>(upper));
  for (int32_t i = 1; i <= upper; ++i) {
    const Variant& element = Data[i];
    fields.push_back(element.IsMissing() ? std::string() : CStr(element));
  }
  return fields;
}

std::string RecordLine(const std::vector<std::string>& fields, bool dateStamp) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ":";
    line += fields[i];
  }
  if (dateStamp) line = FormatGeneralDate(CurrentHost().Now()) + " " + line;
  return line;
}

}  // namespace

CLogXaction::CLogXaction() : mXmlLog(std::make_unique<logging::XmlLog>("transactions")) {
  MMain::EnsureMain();
}

CLogXaction::~CLogXaction() = default;

bool CLogXaction::LogXaction(SafeArray& Data, int32_t elt) {
  try {
    const FieldTexts fields = BuildFieldTexts(Data);
    const std::string line = RecordLine(fields, gbDateStamp);
    Visit(Data, elt, fields, line);
  } catch (...) {
    foundation::RaiseAgain(kClassName, "LogXaction");
  }
  return false;
}

void CLogXaction::Visit(SafeArray& Data, int32_t elt, const FieldTexts& fields,
                        const std::string& line) {
  if (elt & ltRAISEEVENT) pRaiseEvent(Data);
  // Only the flag word 2 itself raises: inside a larger word the bit selects nothing.
  if (elt == ltRAISEERROR)
    Raise(kXactionRaisedError, line, kXactionRaisedDescription, gstrHelpFile, glHelpContext);
  if (elt & ltXML) pLogToXML(fields);
  if (elt & ltFILE) pLogToFile(line);
  if (elt & ltDB) pLogToDB(Data);
  if (elt & ltEVENTLOG) pLogToNTEventLog(line);
  if (elt & ltMSGBOX) pShowMessage(line);
}

void CLogXaction::pRaiseEvent(SafeArray& Data) {
  events_.Fire([&](CLogXactionEvents& sink) { sink.ShowEvent(Data); });
}

void CLogXaction::pShowMessage(const std::string& recordLine) {
  if (!gttEvents) {
    mobjMessage.ShowText(recordLine + " {" + "}", 16384, recordLine, "English", gstrHelpFile,
                         glHelpContext);
    return;
  }
  gttEvents->Show(CInt(Variant(recordLine)), 16384, Variant(recordLine), gstrHelpFile,
                  glHelpContext);
}

void CLogXaction::pLogXML(const std::string& strFileName) { mXmlLog->Start(strFileName); }

void CLogXaction::SaveXMLLog() { mXmlLog->Save(); }

void CLogXaction::CloseXMLLog() { mXmlLog->Close(); }

void CLogXaction::ClearXMLLog() { mXmlLog->Clear(); }

}  // namespace orvex
