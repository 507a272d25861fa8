#include "logging/xml_log.hpp"

#include <vector>

#include "orvex/automation_error.hpp"
#include "orvex/host.hpp"
#include "orvex/modules.hpp"
#include "platform/scripting/file_system.hpp"
#include "platform/xmldom/log_file_append.hpp"

namespace orvex::logging {

const char* const kXmlLogNotice =
    "ORVEX log document: records are appended under the root element; do not edit while a "
    "logger is saving.";
const char* const kXmlLogBanner = "Nuvio; The DOV Ized Azid, %1 Started on %2";

namespace {

constexpr const char* kReportName = "Error Report";

// Runs one step of a procedure whose failures are all ignored.
template <class Step>
void Ignoring(Step&& step) {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace

void CreateXMLLogHeader(xmldom::Document& doc, const SafeArray& comments, const Variant& values) {
  const SafeArray valueCopy = values.IsArray() ? values.Array() : SafeArray();
  doc.appendChild(doc.createProcessingInstruction("xml", "version='1.0'"));
  if (MUtility::ElementCount(comments) == 0) return;
  for (int32_t i = 0; i <= comments.UBound(); ++i) {
    doc.appendChild(doc.createComment(MMain::ExpandPlaceholders(CStr(comments[i]), valueCopy)));
  }
}

XmlLog::XmlLog(std::string rootName) : rootName_(std::move(rootName)) {}

XmlLog::~XmlLog() = default;

void XmlLog::Start(const std::string& path) {
  Ignoring([&] {
    document_ = xmldom::Document::Create();
    bufferRoot_ = nullptr;
    bufferRoot_ = document_->createElement(rootName_);
    document_->appendChild(bufferRoot_);
  });
  path_ = path;
}

xmldom::NodePtr XmlLog::AppendRecord(const std::string& elementName) {
  if (!document_ || !bufferRoot_) Raise(errObjectNotSet);
  return bufferRoot_->appendChild(document_->createElement(elementName));
}

void XmlLog::AddAttribute(const xmldom::NodePtr& element, const std::string& name,
                          const std::string& value) {
  if (!document_) Raise(errObjectNotSet);
  xmldom::NodePtr attribute = document_->createAttribute(name);
  attribute->setNodeValue(value);
  element->attributes().setNamedItem(attribute);
}

void XmlLog::AddAttribute(const xmldom::NodePtr& element, const std::string& name, int32_t value) {
  if (!document_) Raise(errObjectNotSet);
  xmldom::NodePtr attribute = document_->createAttribute(name);
  attribute->setNodeValue(value);
  element->attributes().setNamedItem(attribute);
}

void XmlLog::AddAttribute(const xmldom::NodePtr& element, const std::string& name, Date value) {
  if (!document_) Raise(errObjectNotSet);
  xmldom::NodePtr attribute = document_->createAttribute(name);
  attribute->setNodeValue(value);
  element->attributes().setNamedItem(attribute);
}

std::shared_ptr<xmldom::Document> XmlLog::NewFileDocument() const {
  auto doc = xmldom::Document::Create();
  SafeArray comments = SafeArray::Of(0, {Variant(kXmlLogNotice), Variant(kXmlLogBanner)});
  SafeArray values = SafeArray::Of(0, {Variant(kReportName), Variant(CurrentHost().Now())});
  CreateXMLLogHeader(*doc, comments, Variant(values));
  return doc;
}

void XmlLog::Save() {
  scripting::FileSystem files;
  if (!files.FileExists(path_)) {
    if (!bufferRoot_) Raise(errObjectNotSet);
    std::shared_ptr<xmldom::Document> file = NewFileDocument();
    file->appendChild(bufferRoot_);
    file->save(path_);
    // Only once the file holds the records does the buffer start afresh; after a failed save
    // they stay under the buffer root for the next attempt.
    bufferRoot_ = file->createElement(rootName_);
    return;
  }
  if (!bufferRoot_ || !bufferRoot_->firstChild()) return;
  // A log in the shape the loggers write takes the records at the end of its root without
  // being loaded whole: the cost is a copy of the file, not a parse and a rewrite of it.
  if (xmldom::AppendChildrenToLogFile(path_, rootName_, *bufferRoot_)) {
    DropBufferedRecords();
    return;
  }
  auto file = xmldom::Document::Create();
  file->load(path_);
  xmldom::NodePtr root = file->documentElement();
  if (!root)
    Raise(errObjectNotSet, kDefaultErrorSource,
          "The XML log file " + path_ + " cannot be read as a log document");
  // Move the records into the file's document, and back again if the file cannot be written,
  // so that a failed save loses nothing.
  std::vector<xmldom::NodePtr> moved;
  while (xmldom::NodePtr record = bufferRoot_->firstChild())
    moved.push_back(root->appendChild(record));
  try {
    file->save(path_);
  } catch (...) {
    for (const xmldom::NodePtr& record : moved) bufferRoot_->appendChild(record);
    throw;
  }
}

void XmlLog::DropBufferedRecords() {
  // The buffer root goes to a document of its own that frees it, records and all, on return;
  // the new one stays parentless, as after a save that created the file.
  auto spent = xmldom::Document::Create();
  spent->appendChild(bufferRoot_);
  bufferRoot_ = document_->createElement(rootName_);
}

void XmlLog::Clear() {
  // The new file replaces the old one atomically (also a read-only one), so that a failed write
  // leaves the previous log whole instead of deleting it first.
  std::shared_ptr<xmldom::Document> file;
  Ignoring([&] { file = NewFileDocument(); });
  if (!file) file = xmldom::Document::Create();
  Ignoring([&] {
    bufferRoot_ = nullptr;
    bufferRoot_ = file->createElement(rootName_);
    file->appendChild(bufferRoot_);
  });
  Ignoring([&] { file->save(path_); });
}

int32_t XmlLog::BufferedCount() const {
  if (!bufferRoot_) return 0;
  return bufferRoot_->childNodes().length();
}

}  // namespace orvex::logging
