#include "orvex/log_event.hpp"

#include "logging/xml_log.hpp"
#include "orvex/data.hpp"
#include "orvex/modules.hpp"

namespace orvex {

CLogEvent::CLogEvent() : mXmlLog(std::make_unique<logging::XmlLog>("events")) {
  MMain::EnsureMain();
}

CLogEvent::~CLogEvent() = default;

bool CLogEvent::LogEvent(std::string& strEvent, int32_t elt) {
  // Every destination but the XML one reads this copy by reference, so a rewrite by the event
  // handler, or the file's date stamp, reaches the destinations after it.
  std::string workingCopy = strEvent;
  if (elt & ltRAISEEVENT) pRaiseEvent(workingCopy);
  if (elt & ltFILE) pLogToFile(workingCopy);
  if (elt & ltDB) pLogToDB(workingCopy);
  if (elt & ltXML) pLogToXML(strEvent);
  if (elt & ltEVENTLOG) pLogToNTEventLog(workingCopy);
  if (elt & ltMSGBOX) pShowMessage(workingCopy);
  return false;
}

void CLogEvent::pRaiseEvent(std::string& workingCopy) {
  events_.Fire([&](CLogEventEvents& sink) { sink.ShowEvent(workingCopy); });
}

void CLogEvent::pShowMessage(const std::string& workingCopy) {
  // No error path: a text that is not a message number reaches the client as it was raised.
  if (!gttEvents) {
    mobjMessage.ShowText(workingCopy, 16384, "", "English", gstrHelpFile, glHelpContext);
    return;
  }
  gttEvents->Show(CInt(Variant(workingCopy)), 16384, Variant::Missing(), gstrHelpFile,
                  glHelpContext);
}

void CLogEvent::pLogXML(const std::string& strFileName) { mXmlLog->Start(strFileName); }

void CLogEvent::SaveXMLLog() { mXmlLog->Save(); }

void CLogEvent::ClearXMLLog() { mXmlLog->Clear(); }

void CLogEvent::CloseXMLLog() { mXmlLog->Close(); }

}  // namespace orvex
