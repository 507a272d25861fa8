// The destinations of the transaction logger that write its record line or field texts: the
// XML log, the text file and the event log.
#include "foundation/error_path.hpp"
#include "logging/record_file.hpp"
#include "logging/xml_log.hpp"
#include "orvex/host.hpp"
#include "orvex/log_xaction.hpp"
#include "orvex/modules.hpp"

namespace orvex {

namespace {

constexpr const char* kClassName = "CLogXaction";

// The field text at a 1-based position; error 9 when the record is shorter.
const std::string& FieldAt(const std::vector<std::string>& fields, size_t position) {
  if (position < 1 || position > fields.size())
    Raise(
        errSubscriptOutOfRange, kDefaultErrorSource,
        "The transaction record has no field " + std::to_string(position) + " for its XML element");
  return fields[position - 1];
}

struct PositionAttribute {
  const char* name;
  size_t position;
};

// The only positions with a fixed meaning; the order is that of the element's attributes.
constexpr PositionAttribute kElementAttributes[] = {
    {"transactor", 3}, {"port", 2}, {"name", 5}, {"status", 6}};

}  // namespace

void CLogXaction::pLogFile(const std::string& strFileName) {
  mstrFileName = strFileName;
  logging::CreateRecordFileIfMissing(strFileName);
}

void CLogXaction::pLogToXML(const FieldTexts& fields) {
  try {
    // The element waits for the save only once it is whole: a missing field leaves nothing.
    xmldom::NodePtr record = mXmlLog->NewRecord("transactions");
    if (gbDateStamp) mXmlLog->AddAttribute(record, "date", CurrentHost().Now());
    for (const PositionAttribute& attribute : kElementAttributes)
      mXmlLog->AddAttribute(record, attribute.name, FieldAt(fields, attribute.position));
    mXmlLog->BufferRecord(record);
  } catch (...) {
    foundation::RaiseAgain(kClassName, "pLogToXML");
  }
}

void CLogXaction::pLogToFile(const std::string& recordLine) {
  // A best-effort copy: no failure of the file reaches the client or stops the destinations
  // after it.
  try {
    files::AppendFile file = logging::OpenRecordFile(mstrFileName);
    logging::WriteRecord(file, recordLine);
  } catch (...) {
  }
}

void CLogXaction::pLogToNTEventLog(const std::string& recordLine) {
  try {
    if (MUtility::IsNT()) CurrentHost().WriteEventLog(recordLine + " {" + "}", evtInformation);
  } catch (...) {
    foundation::RaiseAgain(kClassName, "pLogToNTEventLog");
  }
}

}  // namespace orvex
