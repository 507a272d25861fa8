#include "xml/xml_extractor.hpp"

#include "orvex/automation_error.hpp"
#include "orvex/host.hpp"
#include "orvex/modules.hpp"

namespace orvex {

CXMLExtractor::CXMLExtractor() { MMain::EnsureMain(); }

void CXMLExtractor::documentLocator(const xmldom::Locator&) {}
void CXMLExtractor::startDocument() {}
void CXMLExtractor::endDocument() {}
void CXMLExtractor::startPrefixMapping(std::string_view, std::string_view) {}
void CXMLExtractor::endPrefixMapping(std::string_view) {}
void CXMLExtractor::endElement(std::string_view, std::string_view, std::string_view) {}
void CXMLExtractor::characters(std::string_view) {}
void CXMLExtractor::ignorableWhitespace(std::string_view) {}
void CXMLExtractor::processingInstruction(std::string_view, std::string_view) {}
void CXMLExtractor::skippedEntity(std::string_view) {}

void CXMLExtractor::startElement(std::string_view, std::string_view, std::string_view qName,
                                 const xmldom::Attributes& attributes) {
  if (qName != cutElement) return;
  std::string_view id = attributes.getValueViewFromName("", "ID");
  std::string_view text = attributes.getValueViewFromName("", gstrLanguage);
  if (!gdicGlossary) Raise(errObjectNotSet);
  gdicGlossary->Add(id, text);
}

void CXMLExtractor::error(const xmldom::Locator&, const std::string&, int32_t) {}

void CXMLExtractor::fatalError(const xmldom::Locator& locator, const std::string& message,
                               int32_t) {
  // A box that cannot be shown (no desktop) must not replace the parse error that the reader
  // reports next.
  try {
    CurrentHost().ShowMessageBox(message + "  " + std::to_string(locator.lineNumber()), 0, "", "",
                                 0);
  } catch (...) {
  }
}

void CXMLExtractor::ignorableWarning(const xmldom::Locator&, const std::string&, int32_t) {}

std::shared_ptr<xmldom::XMLReader> CXMLExtractor::parent() const { return parent_; }

void CXMLExtractor::parent(std::shared_ptr<xmldom::XMLReader> reader) {
  parent_ = std::move(reader);
  Parent().contentHandler(shared_from_this());
  Parent().errorHandler(shared_from_this());
}

xmldom::XMLReader& CXMLExtractor::Parent() const {
  if (!parent_) Raise(errObjectNotSet);
  return *parent_;
}

std::shared_ptr<xmldom::ContentHandler> CXMLExtractor::contentHandler() const {
  return contentHandler_;
}
void CXMLExtractor::contentHandler(std::shared_ptr<xmldom::ContentHandler> handler) {
  contentHandler_ = std::move(handler);
}
std::shared_ptr<xmldom::ErrorHandler> CXMLExtractor::errorHandler() const { return nullptr; }
void CXMLExtractor::errorHandler(std::shared_ptr<xmldom::ErrorHandler>) {}

bool CXMLExtractor::getFeature(const std::string& name) const { return Parent().getFeature(name); }
void CXMLExtractor::putFeature(const std::string& name, bool value) {
  Parent().putFeature(name, value);
}
Variant CXMLExtractor::getProperty(const std::string&) const { return Variant(); }
void CXMLExtractor::putProperty(const std::string&, const Variant&) {}

std::string CXMLExtractor::baseURL() const { return Parent().baseURL(); }
void CXMLExtractor::baseURL(const std::string& url) { Parent().baseURL(url); }
std::string CXMLExtractor::secureBaseURL() const { return Parent().secureBaseURL(); }
void CXMLExtractor::secureBaseURL(const std::string& url) { Parent().secureBaseURL(url); }
void CXMLExtractor::parse(const std::string& text) { Parent().parse(text); }
void CXMLExtractor::parseURL(const std::string& url) { Parent().parseURL(url); }

ReaderHandlersRelease::~ReaderHandlersRelease() {
  if (!reader_) return;
  try {
    reader_->contentHandler(nullptr);
    reader_->errorHandler(nullptr);
  } catch (...) {
  }
}

}  // namespace orvex
