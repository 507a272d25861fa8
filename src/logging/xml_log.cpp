#include "logging/xml_log.hpp"

namespace orvex::logging {

XmlLog::XmlLog(std::string rootName) : rootName_(std::move(rootName)) {}
XmlLog::~XmlLog() = default;

}  // namespace orvex::logging
