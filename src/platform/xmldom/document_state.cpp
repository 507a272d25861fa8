#include "platform/xmldom/document_state.hpp"

#include <libxml/xmlsave.h>

#include "platform/xmldom/dom.hpp"

namespace orvex::xmldom {
namespace {

// Attribute text is written as raw UTF-8 only while the document names an encoding (else as
// character references); saving a document names UTF-8 for the time of the dump, and so does
// this, so that a child reads the same bytes whichever way it was written.
class DumpEncoding {
 public:
  explicit DumpEncoding(xmlDocPtr doc) : doc_(doc), saved_(doc->encoding) {
    doc_->encoding = BAD_CAST "UTF-8";
  }
  ~DumpEncoding() { doc_->encoding = saved_; }
  DumpEncoding(const DumpEncoding&) = delete;
  DumpEncoding& operator=(const DumpEncoding&) = delete;

 private:
  xmlDocPtr doc_;
  const xmlChar* saved_;
};

}  // namespace

DocumentState::DocumentState() : doc_(xmlNewDoc(BAD_CAST "1.0")) {
  if (doc_ == nullptr) throw std::bad_alloc();
  doc_->_private = this;
}

DocumentState::~DocumentState() {
  for (xmlNodePtr orphan : orphans_) xmlFreeNode(orphan);
  xmlFreeDoc(doc_);
}

std::shared_ptr<DocumentState> DocumentState::Of(xmlNodePtr node) {
  return static_cast<DocumentState*>(node->doc->_private)->shared_from_this();
}

void DocumentState::TakeNode(xmlNodePtr node) {
  std::shared_ptr<DocumentState> from = Of(node);  // keeps the old owner alive meanwhile
  if (node->parent != nullptr) {
    xmlUnlinkNode(node);
  } else {
    from->ForgetOrphan(node);
  }
  if (from.get() == this) return;
  xmlDOMWrapAdoptNode(nullptr, from->doc_, node, doc_, nullptr, 0);
  MoveHandlesHere(node);
}

void DocumentState::MoveHandlesHere(xmlNodePtr node) {
  if (node->_private != nullptr) static_cast<Node*>(node->_private)->owner_ = shared_from_this();
  if (node->type == XML_ELEMENT_NODE) {
    for (xmlAttrPtr attr = node->properties; attr != nullptr; attr = attr->next) {
      MoveHandlesHere(reinterpret_cast<xmlNodePtr>(attr));
    }
  }
  if (node->type == XML_ENTITY_REF_NODE) return;  // its children are the entity's, not its own
  for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
    MoveHandlesHere(child);
  }
}

std::shared_ptr<Document> DocumentState::DocumentHandle() {
  if (auto existing = handle_.lock()) return existing;
  std::shared_ptr<Document> document(new Document(shared_from_this()));
  handle_ = document;
  return document;
}

std::string DeclaredEncoding(xmlDocPtr doc) {
  for (xmlNodePtr child = doc->children; child != nullptr; child = child->next) {
    if (child->type != XML_PI_NODE) continue;
    if (child->name == nullptr ||
        std::string_view(reinterpret_cast<const char*>(child->name)) != "xml")
      return "";
    std::string_view data(child->content ? reinterpret_cast<const char*>(child->content) : "");
    const size_t key = data.find("encoding");
    if (key == std::string_view::npos) return "";
    const size_t open = data.find_first_of("\"'", key);
    if (open == std::string_view::npos) return "";
    const size_t close = data.find(data[open], open + 1);
    if (close == std::string_view::npos) return "";
    return std::string(data.substr(open + 1, close - open - 1));
  }
  return "";
}

std::string SerialiseDocument(xmlDocPtr doc) {
  xmlBufferPtr buffer = xmlBufferCreate();
  if (buffer == nullptr) throw std::bad_alloc();
  // A document that declares its encoding is written in it (what it cannot hold as character
  // references), so that its declaration stays true; libxml2 refuses encodings it does not
  // know, and those documents are written in UTF-8.
  const std::string declared = DeclaredEncoding(doc);
  xmlSaveCtxtPtr saver = nullptr;
  if (!declared.empty())
    saver = xmlSaveToBuffer(buffer, declared.c_str(), XML_SAVE_NO_DECL | XML_SAVE_FORMAT);
  if (saver == nullptr)
    saver = xmlSaveToBuffer(buffer, "UTF-8", XML_SAVE_NO_DECL | XML_SAVE_FORMAT);
  if (saver == nullptr) {
    xmlBufferFree(buffer);
    throw std::bad_alloc();
  }
  xmlSaveDoc(saver, doc);
  xmlSaveClose(saver);
  std::string text(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                   static_cast<size_t>(xmlBufferLength(buffer)));
  xmlBufferFree(buffer);
  return text;
}

std::string SerialiseChildren(xmlNodePtr parent, int level) {
  xmlOutputBufferPtr output = xmlAllocOutputBuffer(nullptr);
  if (output == nullptr) throw std::bad_alloc();
  const std::string indent(static_cast<size_t>(2 * level), ' ');
  for (xmlNodePtr child = parent->children; child != nullptr; child = child->next) {
    xmlOutputBufferWrite(output, static_cast<int>(indent.size()), indent.data());
    {
      DumpEncoding utf8(child->doc);
      xmlNodeDumpOutput(output, child->doc, child, level, 1, "UTF-8");
    }
    xmlOutputBufferWrite(output, 1, "\n");
  }
  std::string text;
  if (output->error == 0) {
    text.assign(reinterpret_cast<const char*>(xmlOutputBufferGetContent(output)),
                xmlOutputBufferGetSize(output));
  }
  int error = output->error;
  xmlOutputBufferClose(output);
  if (error != 0) throw std::bad_alloc();
  return text;
}

void LinkLast(xmlNodePtr parent, xmlNodePtr child) {
  child->parent = parent;
  child->next = nullptr;
  child->prev = parent->last;
  if (parent->last != nullptr) {
    parent->last->next = child;
  } else {
    parent->children = child;
  }
  parent->last = child;
}

}  // namespace orvex::xmldom
