#include "logging/xml_log.hpp"

#include <fcntl.h>

#include <vector>

#include "foundation/error_path.hpp"
#include "orvex/automation_error.hpp"
#include "orvex/host.hpp"
#include "orvex/modules.hpp"
#include "platform/files/file_lock.hpp"
#include "platform/xmldom/log_file_append.hpp"

namespace orvex::logging {

const char* const kXmlLogNotice =
    "ORVEX log document: records are appended under the root element; do not edit while a "
    "logger is saving.";
const char* const kXmlLogBanner = "Nuvio; The DOV Ized Azid, %1 Started on %2";

namespace {

constexpr const char* kReportName = "Error Report";

// The bytes the text takes as an attribute value in the file, at most: markup and line breaks
// escaped, every byte beyond ASCII counted as a replacement character.
size_t WrittenSize(const std::string& value) {
  size_t size = 0;
  for (unsigned char c : value) {
    switch (c) {
      case '&':
        size += 5;
        break;
      case '<':
      case '>':
        size += 4;
        break;
      case '"':
        size += 6;
        break;
      case '\n':
      case '\r':
      case '\t':
        size += 5;
        break;
      default:
        size += c >= 0x80 ? 3 : 1;
    }
  }
  return size;
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
  foundation::IgnoringFailure([&] {
    document_ = xmldom::Document::Create();
    bufferRoot_ = nullptr;
    bufferRoot_ = document_->createElement(rootName_);
    document_->appendChild(bufferRoot_);
  });
  path_ = path;
  fileChecked_ = false;
}

xmldom::NodePtr XmlLog::NewRecord(const std::string& elementName) {
  if (!document_ || !bufferRoot_) Raise(errObjectNotSet);
  return document_->createElement(elementName);
}

void XmlLog::BufferRecord(const xmldom::NodePtr& record) {
  if (!bufferRoot_) Raise(errObjectNotSet);
  bufferRoot_->appendChild(record);
}

void XmlLog::AddAttribute(const xmldom::NodePtr& element, const std::string& name,
                          const std::string& value) {
  if (!document_) Raise(errObjectNotSet);
  if (WrittenSize(value) > kMaxAttributeBytes)
    Raise(errInvalidProcedureCall, kDefaultErrorSource,
          "The text for the XML log attribute " + name + " is " + std::to_string(value.size()) +
              " bytes; escaped in the file it would pass the " +
              std::to_string(kMaxAttributeBytes) + " bytes a log attribute may take");
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
  if (!bufferRoot_) Raise(errObjectNotSet);
  // Under the file's lock, the records go in at the end of its root without the file being
  // copied: see SaveRecordsToLogFile. A failed save keeps them buffered for the next attempt.
  xmldom::SaveRecordsToLogFile(path_, rootName_, *bufferRoot_, *NewFileDocument(), !fileChecked_);
  fileChecked_ = true;
  DropBufferedRecords();
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
  foundation::IgnoringFailure([&] { file = NewFileDocument(); });
  if (!file) file = xmldom::Document::Create();
  foundation::IgnoringFailure([&] {
    bufferRoot_ = nullptr;
    bufferRoot_ = file->createElement(rootName_);
    file->appendChild(bufferRoot_);
  });
  // Under the file's lock, so that no other process's save is lost in between.
  foundation::IgnoringFailure([&] {
    files::FileDescriptor lock = files::OpenLocked(files::FollowLinks(path_, xmldom::kDomSource),
                                                   O_RDWR | O_CREAT, xmldom::kDomSource);
    file->save(path_);
  });
}

int32_t XmlLog::BufferedCount() const {
  if (!bufferRoot_) return 0;
  return bufferRoot_->childNodes().length();
}

}  // namespace orvex::logging
