// The members through which every logger is given its text log and its XML log, the same in the
// three loggers' late-bound adapters.
#pragma once

#include <string>

#include "orvex/variant.hpp"

namespace orvex::typelib {

// Runs pLogFile, pLogXML, SaveXMLLog, ClearXMLLog or CloseXMLLog on the logger; false for any
// other member name.
template <class Logger>
bool CallLogFileMember(Logger& log, const std::string& name, const Variant& value) {
  if (name == "pLogFile") {
    log.pLogFile(value.Str());
  } else if (name == "pLogXML") {
    log.pLogXML(value.Str());
  } else if (name == "SaveXMLLog") {
    log.SaveXMLLog();
  } else if (name == "ClearXMLLog") {
    log.ClearXMLLog();
  } else if (name == "CloseXMLLog") {
    log.CloseXMLLog();
  } else {
    return false;
  }
  return true;
}

}  // namespace orvex::typelib
