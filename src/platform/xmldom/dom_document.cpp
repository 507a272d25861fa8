#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include "orvex/automation_error.hpp"
#include "platform/files/atomic_file.hpp"
#include "platform/files/whole_file.hpp"
#include "platform/xmldom/document_state.hpp"
#include "platform/xmldom/dom.hpp"
#include "platform/xmldom/xml_text.hpp"

namespace orvex::xmldom {
namespace {

// Never the network, never external entities or DTDs; the parser's limits against entity
// expansion stay on (no XML_PARSE_HUGE); errors are not printed.
constexpr int kLoadOptions =
    XML_PARSE_NONET | XML_PARSE_NODICT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

[[noreturn]] void RaiseBadName(const std::string& name) {
  Raise(errInvalidProcedureCall, kDomSource, "'" + name + "' is not a valid XML name.");
}

void CheckName(const std::string& name) {
  if (name.empty() || xmlValidateQName(BAD_CAST name.c_str(), 0) != 0) RaiseBadName(name);
}

// A document type declaration ends the load: a log or glossary never needs one, and refusing it
// keeps entity definitions (and their expansion) out entirely.
void RefuseDocumentType(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
  auto* parser = static_cast<xmlParserCtxtPtr>(context);
  *static_cast<bool*>(parser->_private) = true;
  xmlStopParser(parser);
}

void IgnoreError(void*, xmlErrorPtr) {}

xmlDocPtr ParseWithoutDocumentType(const std::string& bytes) {
  xmlParserCtxtPtr parser = xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size()));
  if (parser == nullptr) return nullptr;
  bool refused = false;
  parser->_private = &refused;
  xmlCtxtUseOptions(parser, kLoadOptions);
  parser->sax->internalSubset = RefuseDocumentType;
  parser->sax->serror = IgnoreError;
  xmlParseDocument(parser);
  xmlDocPtr parsed = parser->myDoc;
  bool ok = parser->wellFormed != 0 && !refused && parsed != nullptr;
  parser->myDoc = nullptr;
  xmlFreeParserCtxt(parser);
  if (!ok) xmlFreeDoc(parsed);
  return ok ? parsed : nullptr;
}

// Whitespace-only text between elements is formatting, not content (unless xml:space says so).
void DropBlankText(xmlNodePtr parent) {
  xmlNodePtr child = parent->children;
  while (child != nullptr) {
    xmlNodePtr next = child->next;
    if (child->type == XML_TEXT_NODE && xmlIsBlankNode(child) &&
        xmlNodeGetSpacePreserve(parent) != 1) {
      xmlUnlinkNode(child);
      xmlFreeNode(child);
    } else if (child->type == XML_ELEMENT_NODE) {
      DropBlankText(child);
    }
    child = next;
  }
}

// The text inside the XML declaration ("version='1.0'"), kept as the document's first
// processing instruction so that a saved document writes the declaration it was read with.
bool DeclarationData(const std::string& bytes, std::string& data) {
  std::string_view text(bytes);
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  if (text.size() < 6 || text.substr(0, 5) != "<?xml" ||
      !isspace(static_cast<unsigned char>(text[5]))) {
    return false;
  }
  size_t end = text.find("?>");
  if (end == std::string_view::npos) return false;
  std::string_view inside = text.substr(5, end - 5);
  size_t first = inside.find_first_not_of(" \t\r\n");
  size_t last = inside.find_last_not_of(" \t\r\n");
  data = first == std::string_view::npos ? "" : std::string(inside.substr(first, last - first + 1));
  return true;
}

}  // namespace

Document::Document(std::shared_ptr<DocumentState> state) : Node(state, state->doc()) {}

std::shared_ptr<Document> Document::Create() {
  auto state = std::make_shared<DocumentState>();
  return state->DocumentHandle();
}

NodePtr Document::createProcessingInstruction(const std::string& target, const std::string& data) {
  CheckName(target);
  std::string safe = XmlSafeText(data);
  if (safe.find("?>") != std::string::npos) {
    Raise(errInvalidProcedureCall, kDomSource, "A processing instruction cannot contain '?>'.");
  }
  xmlNodePtr node = xmlNewDocPI(owner_->doc(), BAD_CAST target.c_str(), BAD_CAST safe.c_str());
  if (node == nullptr) throw std::bad_alloc();
  owner_->AddOrphan(node);
  return Wrap(node);
}

NodePtr Document::createComment(const std::string& text) {
  std::string safe = XmlSafeText(text);
  if (safe.find("--") != std::string::npos || (!safe.empty() && safe.back() == '-')) {
    Raise(errInvalidProcedureCall, kDomSource, "A comment cannot contain '--' or end with '-'.");
  }
  xmlNodePtr node = xmlNewDocComment(owner_->doc(), BAD_CAST safe.c_str());
  if (node == nullptr) throw std::bad_alloc();
  owner_->AddOrphan(node);
  return Wrap(node);
}

NodePtr Document::createElement(const std::string& name) {
  CheckName(name);
  xmlNodePtr node = xmlNewDocNode(owner_->doc(), nullptr, BAD_CAST name.c_str(), nullptr);
  if (node == nullptr) throw std::bad_alloc();
  owner_->AddOrphan(node);
  return Wrap(node);
}

NodePtr Document::createAttribute(const std::string& name) {
  CheckName(name);
  xmlAttrPtr attr = xmlNewDocProp(owner_->doc(), BAD_CAST name.c_str(), nullptr);
  if (attr == nullptr) throw std::bad_alloc();
  owner_->AddOrphan(reinterpret_cast<xmlNodePtr>(attr));
  return Wrap(attr);
}

NodePtr Document::createTextNode(const std::string& text) {
  std::string safe = XmlSafeText(text);
  xmlNodePtr node = xmlNewDocText(owner_->doc(), BAD_CAST safe.c_str());
  if (node == nullptr) throw std::bad_alloc();
  owner_->AddOrphan(node);
  return Wrap(node);
}

NodePtr Document::documentElement() const { return Wrap(xmlDocGetRootElement(owner_->doc())); }

bool Document::load(const std::string& path) {
  ClearContents();
  std::string bytes;
  try {
    bytes = files::ReadWholeFile(path, kDomSource);
  } catch (const AutomationError&) {
    return false;  // load reports a file it cannot read as a document that did not load
  }
  return LoadFromBytes(bytes);
}

bool Document::loadXML(const std::string& text) {
  ClearContents();
  return LoadFromBytes(text);
}

void Document::ClearContents() {
  xmlNodePtr doc = reinterpret_cast<xmlNodePtr>(owner_->doc());
  while (xmlNodePtr child = doc->children) {
    xmlUnlinkNode(child);
    owner_->AddOrphan(child);  // a handle may still hold it
  }
}

bool Document::LoadFromBytes(const std::string& bytes) {
  xmlDocPtr parsed = ParseWithoutDocumentType(bytes);
  if (parsed == nullptr) return false;
  xmlNodePtr target = reinterpret_cast<xmlNodePtr>(owner_->doc());
  std::string declaration;
  if (DeclarationData(bytes, declaration)) {
    xmlNodePtr pi = xmlNewDocPI(owner_->doc(), BAD_CAST "xml", BAD_CAST declaration.c_str());
    if (pi != nullptr) LinkLast(target, pi);
  }
  DropBlankText(reinterpret_cast<xmlNodePtr>(parsed));
  while (xmlNodePtr child = parsed->children) {
    xmlUnlinkNode(child);
    if (child->type == XML_DTD_NODE) {
      xmlFreeNode(child);
      continue;
    }
    xmlDOMWrapAdoptNode(nullptr, parsed, child, owner_->doc(), nullptr, 0);
    LinkLast(target, child);
  }
  xmlFreeDoc(parsed);
  return true;
}

void Document::save(const std::string& path) const {
  files::WriteFileAtomically(path, SerialiseDocument(owner_->doc()), kDomSource);
}

}  // namespace orvex::xmldom
