// The XML log shared by the three loggers: records are buffered in memory under a root element
// and moved to the file by Save; the file starts with a declaration, a notice and a banner.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "orvex/date.hpp"
#include "orvex/variant.hpp"
#include "platform/xmldom/dom.hpp"

namespace orvex::logging {

// The fixed notice of every XML log file (the first comment).
extern const char* const kXmlLogNotice;
// The banner (the second comment); %1 and %2 take the report name and the creation date.
extern const char* const kXmlLogBanner;

// What a text may take in the file, escaped, as one attribute: below the XML reader's limit on
// one attribute value (10,000,000 bytes).
inline constexpr size_t kMaxAttributeBytes = 8'000'000;

class XmlLog {
 public:
  // rootName: "errors", "events" or "transactions".
  explicit XmlLog(std::string rootName);
  // Writes nothing: records that Save did not write are dropped.
  ~XmlLog();
  XmlLog(const XmlLog&) = delete;
  XmlLog& operator=(const XmlLog&) = delete;

  // pLogXML: a new in-memory document with an empty buffer root; the file is not touched.
  // Records still buffered are dropped. Never raises.
  void Start(const std::string& path);
  // A new record element, created through the in-memory document; it waits for Save only once
  // BufferRecord took it, so that a record that fails half-way leaves nothing buffered. Raises
  // error 91 before Start.
  xmldom::NodePtr NewRecord(const std::string& elementName);
  void BufferRecord(const xmldom::NodePtr& record);
  // Creates the attribute through the in-memory document and adds it to the element. A text
  // that would not fit in an attribute the next load can read (kMaxAttributeBytes as written
  // in the file) raises error 5, so that no save ever writes a log that cannot be read again.
  void AddAttribute(const xmldom::NodePtr& element, const std::string& name,
                    const std::string& value);
  void AddAttribute(const xmldom::NodePtr& element, const std::string& name, int32_t value);
  void AddAttribute(const xmldom::NodePtr& element, const std::string& name, Date value);

  // SaveXMLLog: a missing or empty file is given the header and the buffered records; an
  // existing one takes them at the end of its root (see xmldom::SaveRecordsToLogFile: in place
  // under the file's lock). Raises (no handler); after a failure, or with a file that cannot be
  // parsed, the records stay in the buffer.
  void Save();
  // ClearXMLLog: the file is replaced by the header and an empty root; buffered records are
  // dropped. Every failure is ignored.
  void Clear();
  // CloseXMLLog: neither the file nor the buffer changes.
  void Close() {}

  // Records waiting for Save.
  int32_t BufferedCount() const;
  const std::string& Path() const { return path_; }

 private:
  std::shared_ptr<xmldom::Document> NewFileDocument() const;
  // After the records reached the file: a new, empty buffer root.
  void DropBufferedRecords();

  std::string rootName_;
  std::shared_ptr<xmldom::Document> document_;  // the in-memory document
  std::string path_;                            // the XML file path
  xmldom::NodePtr bufferRoot_;                  // where new records wait for Save
  // The whole file was checked once, at the first save to it: later saves only look at its end.
  bool fileChecked_ = false;
};

// Writes the declaration and one comment per element of comments, each with its placeholders
// expanded from values, into doc.
void CreateXMLLogHeader(xmldom::Document& doc, const SafeArray& comments, const Variant& values);

}  // namespace orvex::logging
