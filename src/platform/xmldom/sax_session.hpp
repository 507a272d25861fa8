// One run of the SAX reader: a libxml2 parser that pulls the document through a read function
// and whose callbacks forward to the handlers.
//
// libxml2 is C: an exception must never cross its frames. Every callback catches what a
// handler (or the read function) throws, stops the parse and keeps the exception for Parse to
// rethrow.
#pragma once

#include <libxml/parser.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/xmldom/sax.hpp"

namespace orvex::xmldom {

// The attributes of the start tag being reported, read in place from libxml2's array.
class RawAttributes : public Attributes {
 public:
  void Reset(const xmlChar** fields, int count) {
    fields_ = fields;
    count_ = count;
  }
  int32_t length() const override { return count_; }
  std::string getQName(int32_t index) const override;
  std::string getLocalName(int32_t index) const override;
  std::string getURI(int32_t index) const override;
  std::string getValue(int32_t index) const override;
  std::string getValueFromName(std::string_view uri, std::string_view localName) const override;
  std::string_view getValueViewFromName(std::string_view uri,
                                        std::string_view localName) const override;
  std::string getValueFromQName(std::string_view qName) const override;
  int32_t getIndexFromName(std::string_view uri, std::string_view localName) const override;

 private:
  const xmlChar* Field(int32_t index, int field) const;
  std::string_view ValueAt(int32_t index) const;
  void CheckIndex(int32_t index) const;

  const xmlChar** fields_ = nullptr;  // 5 per attribute: local name, prefix, URI, value, end
  int count_ = 0;
};

class ParserLocator : public Locator {
 public:
  explicit ParserLocator(std::string systemId) : systemId_(std::move(systemId)) {}
  void Attach(xmlParserCtxtPtr parser) { parser_ = parser; }
  int32_t lineNumber() const override;
  int32_t columnNumber() const override;
  std::string publicId() const override { return ""; }
  std::string systemId() const override { return systemId_; }

 private:
  xmlParserCtxtPtr parser_ = nullptr;
  std::string systemId_;
};

struct SessionOptions {
  std::shared_ptr<ContentHandler> content;
  std::shared_ptr<ErrorHandler> errors;
  bool prohibitDtd = false;
  bool ignoreDeclaredEncoding = false;
  std::string systemId;
};

class SaxSession {
 public:
  explicit SaxSession(SessionOptions options);
  ~SaxSession();
  SaxSession(const SaxSession&) = delete;
  SaxSession& operator=(const SaxSession&) = delete;

  // Fills buffer with up to capacity bytes of the document, returning how many; 0 at its end.
  // A failure is an exception.
  using ReadBytes = std::function<size_t(char* buffer, size_t capacity)>;

  // Parses the document that read delivers, as the parser asks for it. Rethrows a handler's or
  // read's exception, or raises the fatal parse error. Once per session.
  void Parse(const ReadBytes& read);
  // The read callback's body: the bytes read, or -1 after a failure (kept for Parse).
  int ReadInput(char* buffer, int capacity);

  // Callback bodies (called from the C callbacks inside a try block).
  void OnStartElement(const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                      int namespaceCount, const xmlChar** namespaces, int attributeCount,
                      const xmlChar** attributes);
  void OnEndElement(const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri);
  void OnError(const xmlError& error);
  void OnDocumentType(const xmlChar* name);
  void OnInternalEntity(const xmlChar* name, const xmlChar* content);
  // The predefined entity or the document's own internal one of that name; nullptr if none.
  xmlEntityPtr FindEntity(const xmlChar* name) const;
  void Fail(std::exception_ptr failure);

  ContentHandler* content() const { return options_.content.get(); }
  const ParserLocator& locator() const { return locator_; }
  bool Stopped() const { return failure_ != nullptr || fatal_; }

 private:
  void CreateParser();
  void Stop();
  // "prefix:local", or the local name alone without a prefix; valid until the next call.
  std::string_view QualifiedName(std::string_view local, const xmlChar* prefix);

  SessionOptions options_;
  const ReadBytes* read_ = nullptr;
  xmlParserCtxtPtr parser_ = nullptr;
  ParserLocator locator_;
  RawAttributes attributes_;
  std::string qName_;  // the room of QualifiedName
  std::vector<int> namespaceCounts_;
  std::vector<std::string> prefixes_;
  std::exception_ptr failure_;
  bool fatal_ = false;
  std::string fatalMessage_;
};

}  // namespace orvex::xmldom
