#include "logging/sinks/xml_log_sink.hpp"

#include "logging/xml_log.hpp"
#include "orvex/automation_error.hpp"
#include "orvex/host.hpp"

namespace orvex::logging {

void XmlRecord::Add(const std::string& name, const std::string& text) {
  log_.AddAttribute(element_, name, text);
}

void XmlRecord::Add(const std::string& name, int32_t number) {
  log_.AddAttribute(element_, name, number);
}

void XmlRecord::Add(const std::string& name, Date date) { log_.AddAttribute(element_, name, date); }

void XmlRecord::AddStamp(const std::string& name, bool stamped) {
  if (stamped) Add(name, CurrentHost().Now());
}

XmlLogSink::XmlLogSink(std::string root, Creation creation, std::string owner)
    : root_(std::move(root)), owner_(std::move(owner)) {
  if (creation == Creation::kWithTheLogger) log_ = std::make_unique<XmlLog>(root_);
}

XmlLogSink::~XmlLogSink() = default;

XmlLog& XmlLogSink::Log() {
  if (!log_) log_ = std::make_unique<XmlLog>(root_);
  return *log_;
}

XmlLog& XmlLogSink::ExistingLog() {
  if (!log_) Raise(errObjectNotSet, owner_, "No XML log: set pLogXML first");
  return *log_;
}

void XmlLogSink::Start(const std::string& path) { Log().Start(path); }

void XmlLogSink::Save() { ExistingLog().Save(); }

void XmlLogSink::Clear() { Log().Clear(); }

void XmlLogSink::Close() {
  if (log_) log_->Close();
}

XmlRecord XmlLogSink::NewRecord(const std::string& element) {
  XmlLog& log = ExistingLog();
  return XmlRecord(log, log.NewRecord(element));
}

void XmlLogSink::Buffer(const XmlRecord& record) { record.log_.BufferRecord(record.element_); }

}  // namespace orvex::logging
