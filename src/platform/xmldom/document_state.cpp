#include "platform/xmldom/document_state.hpp"

#include <libxml/xmlsave.h>

#include "platform/xmldom/dom.hpp"

namespace orvex::xmldom {

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

std::string SerialiseDocument(xmlDocPtr doc) {
  xmlBufferPtr buffer = xmlBufferCreate();
  if (buffer == nullptr) throw std::bad_alloc();
  xmlSaveCtxtPtr saver = xmlSaveToBuffer(buffer, "UTF-8", XML_SAVE_NO_DECL | XML_SAVE_FORMAT);
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

}  // namespace orvex::xmldom
