#include "logging/xml_log.hpp"
#include "orvex/log_error.hpp"

namespace orvex {

// The file, database, XML and event-log destinations arrive with the platform layer; until then
// they select nothing.
TErrorObject CLogError::pLogToFile(int32_t, const std::string&, const std::string&) { return {}; }
TErrorObject CLogError::pLogToDB(int32_t, const std::string&, const std::string&) { return {}; }
TErrorObject CLogError::pLogToXML(int32_t, const std::string&, const std::string&) { return {}; }
TErrorObject CLogError::pLogToNTEventLog(int32_t, const std::string&, const std::string&) {
  return {};
}

}  // namespace orvex
