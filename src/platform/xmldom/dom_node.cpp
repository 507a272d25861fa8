#include <libxml/tree.h>

#include "orvex/automation_error.hpp"
#include "platform/xmldom/document_state.hpp"
#include "platform/xmldom/dom.hpp"
#include "platform/xmldom/xml_text.hpp"

namespace orvex::xmldom {
namespace {

const char* Text(const xmlChar* text) { return reinterpret_cast<const char*>(text); }

[[noreturn]] void RaiseBadNode(const std::string& what) {
  Raise(errInvalidProcedureCall, kDomSource, what);
}

std::string QualifiedName(xmlNodePtr node) {
  std::string name = node->name != nullptr ? Text(node->name) : "";
  if (node->ns != nullptr && node->ns->prefix != nullptr &&
      (node->type == XML_ELEMENT_NODE || node->type == XML_ATTRIBUTE_NODE)) {
    name = std::string(Text(node->ns->prefix)) + ":" + name;
  }
  return name;
}

std::string ContentOf(xmlNodePtr node) {
  xmlChar* content = xmlNodeGetContent(node);
  std::string text = content != nullptr ? Text(content) : "";
  xmlFree(content);
  return text;
}

xmlAttrPtr FindAttribute(xmlNodePtr element, const std::string& name) {
  if (element->type != XML_ELEMENT_NODE) return nullptr;
  for (xmlAttrPtr attr = element->properties; attr != nullptr; attr = attr->next) {
    if (QualifiedName(reinterpret_cast<xmlNodePtr>(attr)) == name) return attr;
  }
  return nullptr;
}

void LinkAttribute(xmlNodePtr element, xmlAttrPtr attr) {
  attr->parent = element;
  attr->next = nullptr;
  attr->prev = nullptr;
  if (element->properties == nullptr) {
    element->properties = attr;
    return;
  }
  xmlAttrPtr last = element->properties;
  while (last->next != nullptr) last = last->next;
  last->next = attr;
  attr->prev = last;
}

bool IsAncestorOrSelf(xmlNodePtr candidate, xmlNodePtr node) {
  for (xmlNodePtr at = node; at != nullptr; at = at->parent) {
    if (at == candidate) return true;
  }
  return false;
}

void CheckChildAllowed(xmlNodePtr parent, xmlNodePtr child) {
  if (child->type == XML_ATTRIBUTE_NODE || child->type == XML_DOCUMENT_NODE) {
    RaiseBadNode("This node cannot be a child of another node.");
  }
  if (IsAncestorOrSelf(child, parent)) {
    RaiseBadNode("A node cannot be appended to itself or to one of its descendants.");
  }
  if (parent->type == XML_DOCUMENT_NODE) {
    if (child->type != XML_ELEMENT_NODE && child->type != XML_COMMENT_NODE &&
        child->type != XML_PI_NODE) {
      RaiseBadNode("Only elements, comments and processing instructions can be document children.");
    }
    xmlNodePtr root = xmlDocGetRootElement(reinterpret_cast<xmlDocPtr>(parent));
    if (child->type == XML_ELEMENT_NODE && root != nullptr && root != child) {
      RaiseBadNode("The document already has a document element.");
    }
  } else if (parent->type != XML_ELEMENT_NODE) {
    RaiseBadNode("This node cannot have children.");
  }
}

void SetAttributeText(xmlNodePtr attr, const std::string& value) {
  xmlFreeNodeList(attr->children);
  attr->children = attr->last = nullptr;
  xmlNodePtr text = xmlNewDocText(attr->doc, BAD_CAST value.c_str());
  if (text == nullptr) throw std::bad_alloc();
  LinkLast(attr, text);
}

}  // namespace

Node::Node(std::shared_ptr<DocumentState> owner, void* node)
    : owner_(std::move(owner)), node_(node) {}

Node::~Node() {
  xmlNodePtr node = AsXml(node_);
  if (node->type != XML_DOCUMENT_NODE && node->_private == this) node->_private = nullptr;
}

NodePtr Node::Wrap(void* raw) {
  xmlNodePtr node = AsXml(raw);
  if (node == nullptr) return nullptr;
  std::shared_ptr<DocumentState> owner = DocumentState::Of(node);
  if (node->type == XML_DOCUMENT_NODE) return owner->DocumentHandle();
  if (node->_private != nullptr) {
    if (NodePtr existing = static_cast<Node*>(node->_private)->weak_from_this().lock()) {
      return existing;
    }
  }
  NodePtr handle(new Node(std::move(owner), node));
  node->_private = handle.get();
  return handle;
}

NodeType Node::nodeType() const {
  switch (AsXml(node_)->type) {
    case XML_ELEMENT_NODE:
      return NODE_ELEMENT;
    case XML_ATTRIBUTE_NODE:
      return NODE_ATTRIBUTE;
    case XML_TEXT_NODE:
      return NODE_TEXT;
    case XML_CDATA_SECTION_NODE:
      return NODE_CDATA_SECTION;
    case XML_ENTITY_REF_NODE:
      return NODE_ENTITY_REFERENCE;
    case XML_PI_NODE:
      return NODE_PROCESSING_INSTRUCTION;
    case XML_COMMENT_NODE:
      return NODE_COMMENT;
    case XML_DOCUMENT_NODE:
      return NODE_DOCUMENT;
    default:
      return NODE_OTHER;
  }
}

std::string Node::nodeName() const {
  switch (nodeType()) {
    case NODE_TEXT:
      return "#text";
    case NODE_CDATA_SECTION:
      return "#cdata-section";
    case NODE_COMMENT:
      return "#comment";
    case NODE_DOCUMENT:
      return "#document";
    default:
      return QualifiedName(AsXml(node_));
  }
}

std::string Node::nodeValue() const {
  xmlNodePtr node = AsXml(node_);
  switch (nodeType()) {
    case NODE_ATTRIBUTE:
      return ContentOf(node);
    case NODE_TEXT:
    case NODE_CDATA_SECTION:
    case NODE_COMMENT:
    case NODE_PROCESSING_INSTRUCTION:
      return node->content != nullptr ? Text(node->content) : "";
    default:
      return "";
  }
}

void Node::setNodeValue(const std::string& value) {
  xmlNodePtr node = AsXml(node_);
  std::string safe = XmlSafeText(value);
  switch (nodeType()) {
    case NODE_ATTRIBUTE:
      SetAttributeText(node, safe);
      break;
    case NODE_TEXT:
    case NODE_CDATA_SECTION:
    case NODE_COMMENT:
    case NODE_PROCESSING_INSTRUCTION:
      xmlNodeSetContent(node, BAD_CAST safe.c_str());
      break;
    default:
      RaiseBadNode("This node has no value to set.");
  }
}

void Node::setNodeValue(int32_t value) { setNodeValue(std::to_string(value)); }

void Node::setNodeValue(const Date& value) { setNodeValue(IsoDateText(value)); }

NodePtr Node::appendChild(const NodePtr& newChild) {
  if (newChild == nullptr) Raise(errObjectRequired, kDomSource);
  xmlNodePtr parent = AsXml(node_);
  xmlNodePtr child = AsXml(newChild->node_);
  CheckChildAllowed(parent, child);
  owner_->TakeNode(child);
  LinkLast(parent, child);
  return newChild;
}

NodePtr Node::removeChild(const NodePtr& child) {
  if (child == nullptr) Raise(errObjectRequired, kDomSource);
  xmlNodePtr node = AsXml(child->node_);
  if (node->parent != AsXml(node_) || node->type == XML_ATTRIBUTE_NODE) {
    RaiseBadNode("The node to remove is not a child of this node.");
  }
  xmlUnlinkNode(node);
  owner_->AddOrphan(node);
  return child;
}

NodeList Node::childNodes() { return NodeList(shared_from_this()); }

NodePtr Node::firstChild() const {
  return nodeType() == NODE_ATTRIBUTE ? nullptr : Wrap(AsXml(node_)->children);
}

NodePtr Node::lastChild() const {
  return nodeType() == NODE_ATTRIBUTE ? nullptr : Wrap(AsXml(node_)->last);
}

NodePtr Node::parentNode() const {
  return nodeType() == NODE_ATTRIBUTE ? nullptr : Wrap(AsXml(node_)->parent);
}

NodePtr Node::nextSibling() const {
  return nodeType() == NODE_ATTRIBUTE ? nullptr : Wrap(AsXml(node_)->next);
}

NamedNodeMap Node::attributes() { return NamedNodeMap(shared_from_this()); }

std::string Node::getAttribute(const std::string& name) const {
  xmlAttrPtr attr = FindAttribute(AsXml(node_), name);
  return attr != nullptr ? ContentOf(reinterpret_cast<xmlNodePtr>(attr)) : "";
}

bool Node::hasAttribute(const std::string& name) const {
  return FindAttribute(AsXml(node_), name) != nullptr;
}

std::string Node::xml() const {
  if (nodeType() == NODE_DOCUMENT) return SerialiseDocument(owner_->doc());
  xmlBufferPtr buffer = xmlBufferCreate();
  if (buffer == nullptr) throw std::bad_alloc();
  xmlNodeDump(buffer, AsXml(node_)->doc, AsXml(node_), 0, 0);
  std::string text(Text(xmlBufferContent(buffer)), static_cast<size_t>(xmlBufferLength(buffer)));
  xmlBufferFree(buffer);
  return text;
}

std::string Node::childrenXmlAsSaved(int32_t level) const {
  return SerialiseChildren(AsXml(node_), level);
}

int32_t NodeList::length() const {
  xmlNodePtr parent = AsXml(parent_->node_);
  if (parent->type == XML_ATTRIBUTE_NODE) return 0;
  int32_t count = 0;
  for (xmlNodePtr child = parent->children; child != nullptr; child = child->next) ++count;
  return count;
}

NodePtr NodeList::item(int32_t index) const {
  xmlNodePtr parent = AsXml(parent_->node_);
  if (index < 0 || parent->type == XML_ATTRIBUTE_NODE) return nullptr;
  xmlNodePtr child = parent->children;
  for (int32_t i = 0; child != nullptr && i < index; ++i) child = child->next;
  return Node::Wrap(child);
}

int32_t NamedNodeMap::length() const {
  xmlNodePtr element = AsXml(element_->node_);
  if (element->type != XML_ELEMENT_NODE) return 0;
  int32_t count = 0;
  for (xmlAttrPtr attr = element->properties; attr != nullptr; attr = attr->next) ++count;
  return count;
}

NodePtr NamedNodeMap::item(int32_t index) const {
  xmlNodePtr element = AsXml(element_->node_);
  if (index < 0 || element->type != XML_ELEMENT_NODE) return nullptr;
  xmlAttrPtr attr = element->properties;
  for (int32_t i = 0; attr != nullptr && i < index; ++i) attr = attr->next;
  return Node::Wrap(attr);
}

NodePtr NamedNodeMap::getNamedItem(const std::string& name) const {
  return Node::Wrap(FindAttribute(AsXml(element_->node_), name));
}

NodePtr NamedNodeMap::setNamedItem(const NodePtr& attribute) {
  if (attribute == nullptr) Raise(errObjectRequired, kDomSource);
  xmlNodePtr element = AsXml(element_->node_);
  xmlNodePtr attr = AsXml(attribute->node_);
  if (element->type != XML_ELEMENT_NODE) RaiseBadNode("Only elements have attributes.");
  if (attr->type != XML_ATTRIBUTE_NODE) RaiseBadNode("The node to add is not an attribute.");
  if (attr->parent == element) return nullptr;
  NodePtr replaced;
  if (xmlAttrPtr existing = FindAttribute(element, attribute->nodeName())) {
    replaced = Node::Wrap(existing);
    xmlUnlinkNode(reinterpret_cast<xmlNodePtr>(existing));
    element_->owner_->AddOrphan(reinterpret_cast<xmlNodePtr>(existing));
  }
  element_->owner_->TakeNode(attr);
  LinkAttribute(element, reinterpret_cast<xmlAttrPtr>(attr));
  return replaced;
}

}  // namespace orvex::xmldom
