#include "platform/xmldom/sax_session.hpp"

#include <libxml/entities.h>
#include <libxml/xmlerror.h>

#include <cstring>

#include "orvex/automation_error.hpp"

namespace orvex::xmldom {
namespace {

// Never the network; the parser's limits against entity expansion stay on (no XML_PARSE_HUGE).
constexpr int kReaderOptions = XML_PARSE_NONET;

std::string_view View(const xmlChar* text) {
  return text != nullptr ? std::string_view(reinterpret_cast<const char*>(text))
                         : std::string_view();
}

std::string_view View(const xmlChar* text, int length) {
  return std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(length));
}

class ErrorLocator : public Locator {
 public:
  ErrorLocator(int32_t line, int32_t column, std::string systemId)
      : line_(line), column_(column), systemId_(std::move(systemId)) {}
  int32_t lineNumber() const override { return line_; }
  int32_t columnNumber() const override { return column_; }
  std::string publicId() const override { return ""; }
  std::string systemId() const override { return systemId_; }

 private:
  int32_t line_, column_;
  std::string systemId_;
};

std::string Trimmed(const char* message) {
  std::string text = message != nullptr ? message : "";
  size_t last = text.find_last_not_of(" \t\r\n");
  return last == std::string::npos ? "" : text.substr(0, last + 1);
}

SaxSession& SessionOf(void* context) { return *static_cast<SaxSession*>(context); }

// Runs a content callback unless the parse already stopped; a handler's exception stops it.
template <class Body>
void Guarded(void* context, Body&& body) {
  SaxSession& session = SessionOf(context);
  if (session.Stopped()) return;
  try {
    body(session);
  } catch (...) {
    session.Fail(std::current_exception());
  }
}

void OnDocumentLocator(void* context, xmlSAXLocatorPtr) {
  Guarded(context, [](SaxSession& s) {
    if (s.content()) s.content()->documentLocator(s.locator());
  });
}

void OnStartDocument(void* context) {
  Guarded(context, [](SaxSession& s) {
    if (s.content()) s.content()->startDocument();
  });
}

void OnEndDocument(void* context) {
  Guarded(context, [](SaxSession& s) {
    if (s.content()) s.content()->endDocument();
  });
}

void OnStartElementNs(void* context, const xmlChar* localName, const xmlChar* prefix,
                      const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                      int attributeCount, int, const xmlChar** attributes) {
  Guarded(context, [&](SaxSession& s) {
    s.OnStartElement(localName, prefix, uri, namespaceCount, namespaces, attributeCount,
                     attributes);
  });
}

void OnEndElementNs(void* context, const xmlChar* localName, const xmlChar* prefix,
                    const xmlChar* uri) {
  Guarded(context, [&](SaxSession& s) { s.OnEndElement(localName, prefix, uri); });
}

void OnCharacters(void* context, const xmlChar* chars, int length) {
  Guarded(context, [&](SaxSession& s) {
    if (s.content()) s.content()->characters(View(chars, length));
  });
}

void OnIgnorableWhitespace(void* context, const xmlChar* chars, int length) {
  Guarded(context, [&](SaxSession& s) {
    if (s.content()) s.content()->ignorableWhitespace(View(chars, length));
  });
}

void OnProcessingInstruction(void* context, const xmlChar* target, const xmlChar* data) {
  Guarded(context, [&](SaxSession& s) {
    if (s.content()) s.content()->processingInstruction(View(target), View(data));
  });
}

void OnReference(void* context, const xmlChar* name) {
  Guarded(context, [&](SaxSession& s) {
    if (s.content()) s.content()->skippedEntity(View(name));
  });
}

void OnInternalSubset(void* context, const xmlChar* name, const xmlChar*, const xmlChar*) {
  Guarded(context, [&](SaxSession& s) { s.OnDocumentType(name); });
}

// Internal general entities are recorded and replaced, as XML 1.0 has every parser do; external
// entities and parameter entities are not recorded, so a reference to one is an undeclared
// entity and nothing outside the document is ever read. libxml2's own amplification limits stay
// on (no XML_PARSE_HUGE), so an expansion bomb ends the parse at once.
void OnEntityDeclaration(void* context, const xmlChar* name, int type, const xmlChar*,
                         const xmlChar*, xmlChar* content) {
  if (type != XML_INTERNAL_GENERAL_ENTITY) return;
  Guarded(context, [&](SaxSession& s) { s.OnInternalEntity(name, content); });
}

xmlEntityPtr OnGetEntity(void* context, const xmlChar* name) {
  return SessionOf(context).FindEntity(name);
}

void OnStructuredError(void* context, xmlErrorPtr error) {
  if (error != nullptr) SessionOf(context).OnError(*error);
}

int ReadForParser(void* context, char* buffer, int capacity) {
  return SessionOf(context).ReadInput(buffer, capacity);
}

xmlSAXHandler MakeHandler() {
  xmlSAXHandler handler;
  std::memset(&handler, 0, sizeof handler);
  handler.initialized = XML_SAX2_MAGIC;
  handler.setDocumentLocator = OnDocumentLocator;
  handler.startDocument = OnStartDocument;
  handler.endDocument = OnEndDocument;
  handler.startElementNs = OnStartElementNs;
  handler.endElementNs = OnEndElementNs;
  handler.characters = OnCharacters;
  handler.cdataBlock = OnCharacters;
  handler.ignorableWhitespace = OnIgnorableWhitespace;
  handler.processingInstruction = OnProcessingInstruction;
  handler.reference = OnReference;
  handler.internalSubset = OnInternalSubset;
  handler.entityDecl = OnEntityDeclaration;
  handler.getEntity = OnGetEntity;
  handler.serror = OnStructuredError;
  return handler;
}

}  // namespace

SaxSession::SaxSession(SessionOptions options)
    : options_(std::move(options)), locator_(options_.systemId) {}

SaxSession::~SaxSession() {
  if (parser_ == nullptr) return;
  if (parser_->myDoc != nullptr) xmlFreeDoc(parser_->myDoc);
  xmlFreeParserCtxt(parser_);
}

void SaxSession::CreateParser() {
  static const xmlSAXHandler handler = MakeHandler();
  parser_ = xmlCreateIOParserCtxt(const_cast<xmlSAXHandler*>(&handler), this, ReadForParser,
                                  nullptr, this, XML_CHAR_ENCODING_NONE);
  if (parser_ == nullptr) throw std::bad_alloc();
  xmlCtxtUseOptions(parser_,
                    kReaderOptions | (options_.ignoreDeclaredEncoding ? XML_PARSE_IGNORE_ENC : 0));
  // Substitute references by their text, in attribute values and in content alike (only the
  // predefined and the document's own internal entities are ever known, see OnEntityDeclaration).
  parser_->replaceEntities = 1;
  locator_.Attach(parser_);
}

void SaxSession::Parse(const ReadBytes& read) {
  read_ = &read;
  CreateParser();
  xmlParseDocument(parser_);
  read_ = nullptr;
  if (failure_ != nullptr) std::rethrow_exception(failure_);
  if (fatal_) Raise(kXmlParseError, kSaxSource, fatalMessage_);
  if (parser_->wellFormed == 0)
    Raise(kXmlParseError, kSaxSource, "The document is not well-formed.");
}

int SaxSession::ReadInput(char* buffer, int capacity) {
  if (Stopped() || read_ == nullptr) return 0;
  try {
    return static_cast<int>((*read_)(buffer, static_cast<size_t>(capacity)));
  } catch (...) {
    // Not Stop(): the parser is inside its input buffer, which stopping would free. The parse
    // sees the end of its input and ends; Stopped() keeps its errors from the handlers.
    failure_ = std::current_exception();
    return -1;
  }
}

void SaxSession::OnStartElement(const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                                int namespaceCount, const xmlChar** namespaces, int attributeCount,
                                const xmlChar** attributes) {
  namespaceCounts_.push_back(namespaceCount);
  for (int i = 0; i < namespaceCount; ++i) {
    prefixes_.emplace_back(View(namespaces[2 * i]));
    if (content()) content()->startPrefixMapping(prefixes_.back(), View(namespaces[2 * i + 1]));
  }
  if (!content()) return;
  std::string_view local = View(localName);
  std::string_view qName = QualifiedName(local, prefix);
  attributes_.Reset(attributes, attributeCount);
  content()->startElement(View(uri), local, qName, attributes_);
}

std::string_view SaxSession::QualifiedName(std::string_view local, const xmlChar* prefix) {
  if (prefix == nullptr) return local;
  qName_.assign(View(prefix));
  qName_ += ':';
  qName_ += local;
  return qName_;
}

void SaxSession::OnEndElement(const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri) {
  if (content()) {
    std::string_view local = View(localName);
    content()->endElement(View(uri), local, QualifiedName(local, prefix));
  }
  int count = namespaceCounts_.empty() ? 0 : namespaceCounts_.back();
  if (!namespaceCounts_.empty()) namespaceCounts_.pop_back();
  for (int i = 0; i < count; ++i) {
    std::string prefixName = std::move(prefixes_.back());
    prefixes_.pop_back();
    if (content()) content()->endPrefixMapping(prefixName);
  }
}

void SaxSession::OnError(const xmlError& error) {
  if (Stopped()) return;
  ErrorLocator where(error.line, error.int2, options_.systemId);
  std::string message = Trimmed(error.message);
  try {
    if (error.level == XML_ERR_FATAL) {
      fatal_ = true;  // the first one only: the parse ends here
      fatalMessage_ = message;
      Stop();
      if (options_.errors) options_.errors->fatalError(where, message, error.code);
    } else if (error.level == XML_ERR_ERROR) {
      if (options_.errors) options_.errors->error(where, message, error.code);
    } else if (options_.errors) {
      options_.errors->ignorableWarning(where, message, error.code);
    }
  } catch (...) {
    Fail(std::current_exception());
  }
}

void SaxSession::OnDocumentType(const xmlChar* name) {
  if (options_.prohibitDtd) {
    fatal_ = true;
    fatalMessage_ = "A document type declaration (DTD) is prohibited.";
    Stop();
    ErrorLocator where(locator_.lineNumber(), locator_.columnNumber(), options_.systemId);
    if (options_.errors) options_.errors->fatalError(where, fatalMessage_, XML_ERR_USER_STOP);
    return;
  }
  // The declarations of the internal subset are kept in a document of their own: the parser
  // looks its entities up there, and nothing else is ever built in it.
  if (parser_->myDoc == nullptr) parser_->myDoc = xmlNewDoc(BAD_CAST "1.0");
  if (parser_->myDoc == nullptr) throw std::bad_alloc();
  if (parser_->myDoc->intSubset == nullptr &&
      xmlCreateIntSubset(parser_->myDoc, name, nullptr, nullptr) == nullptr)
    throw std::bad_alloc();
}

void SaxSession::OnInternalEntity(const xmlChar* name, const xmlChar* content) {
  if (parser_->myDoc == nullptr || parser_->myDoc->intSubset == nullptr) return;
  // The first declaration of a name binds (a later one is ignored, as XML 1.0 says).
  if (xmlGetDocEntity(parser_->myDoc, name) != nullptr) return;
  if (xmlAddDocEntity(parser_->myDoc, name, XML_INTERNAL_GENERAL_ENTITY, nullptr, nullptr,
                      content) == nullptr)
    throw std::bad_alloc();
}

xmlEntityPtr SaxSession::FindEntity(const xmlChar* name) const {
  if (xmlEntityPtr predefined = xmlGetPredefinedEntity(name)) return predefined;
  if (parser_ == nullptr || parser_->myDoc == nullptr) return nullptr;
  return xmlGetDocEntity(parser_->myDoc, name);
}

void SaxSession::Fail(std::exception_ptr failure) {
  if (failure_ == nullptr) failure_ = std::move(failure);
  Stop();
}

void SaxSession::Stop() {
  if (parser_ != nullptr) xmlStopParser(parser_);
}

int32_t ParserLocator::lineNumber() const {
  return parser_ != nullptr && parser_->input != nullptr ? parser_->input->line : 0;
}

int32_t ParserLocator::columnNumber() const {
  return parser_ != nullptr && parser_->input != nullptr ? parser_->input->col : 0;
}

}  // namespace orvex::xmldom
