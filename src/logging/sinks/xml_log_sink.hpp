// The XML log destination: a record is one element with its attributes, buffered in the
// logger's XML log (xml_log.hpp) until SaveXMLLog, and buffered only once it is whole.
#pragma once

#include <memory>
#include <string>

#include "orvex/date.hpp"
#include "platform/xmldom/dom.hpp"

namespace orvex::logging {

class XmlLog;

// The element of one record while its attributes are added, in the order it carries them.
class XmlRecord {
 public:
  XmlRecord(XmlLog& log, xmldom::NodePtr element) : log_(log), element_(std::move(element)) {}

  void Add(const std::string& name, const std::string& text);
  void Add(const std::string& name, int32_t number);
  void Add(const std::string& name, Date date);
  // The date stamp: the current local date and time when stamped is true, else nothing.
  void AddStamp(const std::string& name, bool stamped);

 private:
  friend class XmlLogSink;
  XmlLog& log_;
  xmldom::NodePtr element_;
};

class XmlLogSink {
 public:
  // When the XML log comes into being: with the logger (records and saves before pLogXML then
  // fail as the log's own), or at the first pLogXML or ClearXMLLog (before it, records and saves
  // fail with error 91 naming the owner).
  enum class Creation { kWithTheLogger, kAtFirstUse };

  // root: the document's root element; owner: the logger's class name.
  XmlLogSink(std::string root, Creation creation, std::string owner);
  ~XmlLogSink();  // unsaved records are dropped
  XmlLogSink(const XmlLogSink&) = delete;
  XmlLogSink& operator=(const XmlLogSink&) = delete;

  // pLogXML, SaveXMLLog, ClearXMLLog and CloseXMLLog, as XmlLog does them.
  void Start(const std::string& path);
  void Save();
  void Clear();
  void Close();

  // Buffers one element, whose attributes `compose` adds to the record it is given. The element
  // is made first (error 91 before pLogXML); a record that fails half-way (a field it does not
  // have, an attribute too large) leaves nothing buffered.
  template <class Compose>
  void Write(const std::string& element, Compose&& compose) {
    XmlRecord record = NewRecord(element);
    compose(record);
    Buffer(record);
  }

 private:
  XmlRecord NewRecord(const std::string& element);
  void Buffer(const XmlRecord& record);
  XmlLog& Log();          // the log, made when it is made at first use
  XmlLog& ExistingLog();  // the log; error 91 naming the owner when there is none yet

  std::string root_;
  std::string owner_;
  std::unique_ptr<XmlLog> log_;
};

}  // namespace orvex::logging
