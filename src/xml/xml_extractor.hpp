// CXMLExtractor: a SAX filter that turns the elements named cutElement into dictionary entries
// (the "ID" attribute as key, the attribute named gstrLanguage as item) while a parent reader
// streams the document, without building a document tree.
//
// Setting the parent makes the extractor that reader's content and error handler, so the two
// hold each other, as in the platform's SAX model: whoever wires them clears the reader's
// handlers when the parse is over (ReaderHandlersRelease does that).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "orvex/variant.hpp"
#include "platform/scripting/text_dictionary.hpp"
#include "platform/xmldom/sax.hpp"

namespace orvex {

class CXMLExtractor : public xmldom::ContentHandler,
                      public xmldom::ErrorHandler,
                      public xmldom::XMLReader,
                      public xmldom::XMLFilter,
                      public std::enable_shared_from_this<CXMLExtractor> {
 public:
  CXMLExtractor();

  std::string cutElement;                                   // qualified name to extract, exact
  std::shared_ptr<scripting::TextDictionary> gdicGlossary;  // receives the entries; the caller's
  std::string gstrLanguage;  // local name of the attribute kept as item

  // ---- Content handler: only startElement does anything.
  void documentLocator(const xmldom::Locator& locator) override;
  void startDocument() override;
  void endDocument() override;
  void startPrefixMapping(std::string_view prefix, std::string_view uri) override;
  void endPrefixMapping(std::string_view prefix) override;
  // Adds ID -> language text for an element named cutElement. A missing attribute or an ID met
  // before (error 457) raises, which ends the parse; the entries added before stay.
  void startElement(std::string_view uri, std::string_view localName, std::string_view qName,
                    const xmldom::Attributes& attributes) override;
  void endElement(std::string_view uri, std::string_view localName,
                  std::string_view qName) override;
  void characters(std::string_view chars) override;
  void ignorableWhitespace(std::string_view chars) override;
  void processingInstruction(std::string_view target, std::string_view data) override;
  void skippedEntity(std::string_view name) override;

  // ---- Error handler: a fatal error is shown to the user; the others are dropped.
  void error(const xmldom::Locator& locator, const std::string& message,
             int32_t errorCode) override;
  // One OK-only box with an empty title: the message, two spaces, the line number.
  void fatalError(const xmldom::Locator& locator, const std::string& message,
                  int32_t errorCode) override;
  void ignorableWarning(const xmldom::Locator& locator, const std::string& message,
                        int32_t errorCode) override;

  // ---- Filter.
  std::shared_ptr<xmldom::XMLReader> parent() const override;
  // Stores the reader, then makes this object its content handler and its error handler.
  void parent(std::shared_ptr<xmldom::XMLReader> reader) override;

  // ---- Reader: features, base URLs and parses go to the parent (error 91 without one).
  std::shared_ptr<xmldom::ContentHandler> contentHandler() const override;
  void contentHandler(std::shared_ptr<xmldom::ContentHandler> handler) override;  // kept only
  std::shared_ptr<xmldom::ErrorHandler> errorHandler() const override;            // always none
  void errorHandler(std::shared_ptr<xmldom::ErrorHandler> handler) override;      // not kept
  bool getFeature(const std::string& name) const override;
  void putFeature(const std::string& name, bool value) override;
  Variant getProperty(const std::string& name) const;               // always Empty
  void putProperty(const std::string& name, const Variant& value);  // ignored
  std::string baseURL() const override;
  void baseURL(const std::string& url) override;
  std::string secureBaseURL() const override;
  void secureBaseURL(const std::string& url) override;
  void parse(const std::string& text) override;
  void parseURL(const std::string& url) override;

 private:
  xmldom::XMLReader& Parent() const;

  std::shared_ptr<xmldom::XMLReader> parent_;
  std::shared_ptr<xmldom::ContentHandler> contentHandler_;
};

// Clears a reader's content and error handlers when it goes out of scope, ending the mutual
// hold between a reader and the filter wired to it.
class ReaderHandlersRelease {
 public:
  explicit ReaderHandlersRelease(std::shared_ptr<xmldom::XMLReader> reader)
      : reader_(std::move(reader)) {}
  ~ReaderHandlersRelease();
  ReaderHandlersRelease(const ReaderHandlersRelease&) = delete;
  ReaderHandlersRelease& operator=(const ReaderHandlersRelease&) = delete;

 private:
  std::shared_ptr<xmldom::XMLReader> reader_;
};

}  // namespace orvex
