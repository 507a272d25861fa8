// The streaming (SAX) XML reader over libxml2, shaped like the SAX interfaces of the platform's
// XML library: content and error handlers called in document order, with no document tree.
//
// A C++ exception thrown by a handler stops the parse and reaches the caller of parse or
// parseURL unchanged. A document that is not well-formed gets one fatalError call, then the
// parse raises an AutomationError with the parser's message. The reader never touches the
// network and never loads external entities or DTDs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orvex::xmldom {

// Number raised for a document that is not well-formed.
inline constexpr int32_t kXmlParseError = static_cast<int32_t>(0xC00CE500u);
// Number raised for an absent attribute, an unknown feature and other bad arguments.
inline constexpr int32_t kInvalidArgument = static_cast<int32_t>(0x80070057u);
// Number raised for a feature value that the reader does not support.
inline constexpr int32_t kNotImplemented = static_cast<int32_t>(0x80004001u);
inline constexpr const char* kSaxSource = "SAXXMLReader";

class Locator {
 public:
  virtual ~Locator() = default;
  virtual int32_t lineNumber() const = 0;
  virtual int32_t columnNumber() const = 0;
  virtual std::string publicId() const = 0;
  virtual std::string systemId() const = 0;
};

// The attributes of one start tag; valid only during the startElement call.
class Attributes {
 public:
  virtual ~Attributes() = default;
  virtual int32_t length() const = 0;
  // index 0 .. length - 1; error kInvalidArgument outside.
  virtual std::string getQName(int32_t index) const = 0;
  virtual std::string getLocalName(int32_t index) const = 0;
  virtual std::string getURI(int32_t index) const = 0;
  virtual std::string getValue(int32_t index) const = 0;
  // The attribute of that namespace URI ("" for none) and local name; error kInvalidArgument
  // when there is none.
  virtual std::string getValueFromName(std::string_view uri, std::string_view localName) const = 0;
  // getValueFromName without the copy; the view lasts until the handler returns.
  virtual std::string_view getValueViewFromName(std::string_view uri,
                                                std::string_view localName) const = 0;
  virtual std::string getValueFromQName(std::string_view qName) const = 0;
  // -1 when absent.
  virtual int32_t getIndexFromName(std::string_view uri, std::string_view localName) const = 0;
};

class ContentHandler {
 public:
  virtual ~ContentHandler() = default;
  virtual void documentLocator(const Locator& locator) = 0;
  virtual void startDocument() = 0;
  virtual void endDocument() = 0;
  virtual void startPrefixMapping(std::string_view prefix, std::string_view uri) = 0;
  virtual void endPrefixMapping(std::string_view prefix) = 0;
  virtual void startElement(std::string_view uri, std::string_view localName,
                            std::string_view qName, const Attributes& attributes) = 0;
  virtual void endElement(std::string_view uri, std::string_view localName,
                          std::string_view qName) = 0;
  virtual void characters(std::string_view chars) = 0;
  virtual void ignorableWhitespace(std::string_view chars) = 0;
  virtual void processingInstruction(std::string_view target, std::string_view data) = 0;
  virtual void skippedEntity(std::string_view name) = 0;
};

class ErrorHandler {
 public:
  virtual ~ErrorHandler() = default;
  virtual void error(const Locator& locator, const std::string& message, int32_t errorCode) = 0;
  virtual void fatalError(const Locator& locator, const std::string& message,
                          int32_t errorCode) = 0;
  virtual void ignorableWarning(const Locator& locator, const std::string& message,
                                int32_t errorCode) = 0;
};

class XMLReader {
 public:
  virtual ~XMLReader() = default;
  virtual std::shared_ptr<ContentHandler> contentHandler() const = 0;
  virtual void contentHandler(std::shared_ptr<ContentHandler> handler) = 0;
  virtual std::shared_ptr<ErrorHandler> errorHandler() const = 0;
  virtual void errorHandler(std::shared_ptr<ErrorHandler> handler) = 0;
  // Features by name; error kInvalidArgument for an unknown one.
  virtual bool getFeature(const std::string& name) const = 0;
  virtual void putFeature(const std::string& name, bool value) = 0;
  // Relative paths given to parseURL are resolved against baseURL.
  virtual std::string baseURL() const = 0;
  virtual void baseURL(const std::string& url) = 0;
  virtual std::string secureBaseURL() const = 0;
  virtual void secureBaseURL(const std::string& url) = 0;
  // Parses a document given as UTF-8 text (an encoding named in it is ignored).
  virtual void parse(const std::string& text) = 0;
  // Parses the file at a path or a file: URL; other schemes are refused.
  virtual void parseURL(const std::string& url) = 0;
};

// A reader that sits between a parent reader and the handlers.
class XMLFilter {
 public:
  virtual ~XMLFilter() = default;
  virtual std::shared_ptr<XMLReader> parent() const = 0;
  virtual void parent(std::shared_ptr<XMLReader> reader) = 0;
};

class SAXXMLReader : public XMLReader {
 public:
  SAXXMLReader();
  ~SAXXMLReader() override;

  std::shared_ptr<ContentHandler> contentHandler() const override;
  void contentHandler(std::shared_ptr<ContentHandler> handler) override;
  std::shared_ptr<ErrorHandler> errorHandler() const override;
  void errorHandler(std::shared_ptr<ErrorHandler> handler) override;
  bool getFeature(const std::string& name) const override;
  void putFeature(const std::string& name, bool value) override;
  std::string baseURL() const override;
  void baseURL(const std::string& url) override;
  std::string secureBaseURL() const override;
  void secureBaseURL(const std::string& url) override;
  void parse(const std::string& text) override;
  void parseURL(const std::string& url) override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace orvex::xmldom
