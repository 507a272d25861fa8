// The XML document object model over libxml2: documents, elements, attributes, comments and
// processing instructions, with nodes that move between documents.
//
// Nodes are handed out as shared_ptr handles; one handle object exists per node at a time, and
// a handle keeps alive the document that currently owns its node, also after the node moved to
// another document. Documents load and save with the network and external entities off.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "orvex/date.hpp"

namespace orvex::xmldom {

enum NodeType : int32_t {
  NODE_ELEMENT = 1,
  NODE_ATTRIBUTE = 2,
  NODE_TEXT = 3,
  NODE_CDATA_SECTION = 4,
  NODE_ENTITY_REFERENCE = 5,
  NODE_PROCESSING_INSTRUCTION = 7,
  NODE_COMMENT = 8,
  NODE_DOCUMENT = 9,
  NODE_OTHER = 0,
};

inline constexpr const char* kDomSource = "DOMDocument";

class Node;
class NodeList;
class NamedNodeMap;
class DocumentState;
using NodePtr = std::shared_ptr<Node>;

class Node : public std::enable_shared_from_this<Node> {
 public:
  virtual ~Node();
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  NodeType nodeType() const;
  // Element or attribute name (with its prefix), PI target, "#comment", "#text", "#document".
  std::string nodeName() const;
  // Text of an attribute, comment, PI, text node; "" for elements and documents.
  std::string nodeValue() const;
  // Sets the text of an attribute, comment, PI or text node. Characters that XML cannot hold
  // (control characters, broken UTF-8) are replaced by U+FFFD so that the file stays loadable.
  void setNodeValue(const std::string& value);
  void setNodeValue(const char* value) { setNodeValue(std::string(value)); }
  void setNodeValue(int32_t value);
  // ISO 8601 local time without zone: 2026-12-05T19:29:54.
  void setNodeValue(const Date& value);

  // Appends newChild as the last child, first taking it from its former parent, in this or
  // another document. Returns newChild. Error 5 for a node that cannot go there (an attribute,
  // a document, a second document element, the node itself or one of its ancestors).
  NodePtr appendChild(const NodePtr& newChild);
  // Takes child out of this node; it stays usable and can be appended elsewhere.
  NodePtr removeChild(const NodePtr& child);

  NodeList childNodes();
  NodePtr firstChild() const;
  NodePtr lastChild() const;
  NodePtr parentNode() const;
  NodePtr nextSibling() const;
  // The attributes of an element (an empty map for other nodes).
  NamedNodeMap attributes();
  // Value of an element's attribute; "" when absent.
  std::string getAttribute(const std::string& name) const;
  bool hasAttribute(const std::string& name) const;
  // The node serialised as XML text (UTF-8).
  std::string xml() const;
  // The children as Document::save writes them at that depth (1 for the children of the root):
  // each on a line of its own, indented two spaces per level.
  std::string childrenXmlAsSaved(int32_t level) const;

 protected:
  Node(std::shared_ptr<DocumentState> owner, void* node);
  // Handle for a libxml2 node: the existing one or a new one; nullptr for nullptr.
  static NodePtr Wrap(void* node);

  std::shared_ptr<DocumentState> owner_;
  void* node_;  // xmlNode* (or xmlAttr*, xmlDoc*); void keeps libxml2 out of this header

  friend class DocumentState;
  friend class NodeList;
  friend class NamedNodeMap;
  friend class Document;
};

// The children of a node, read live: a change to the node shows in the list.
class NodeList {
 public:
  int32_t length() const;
  // nullptr outside 0 .. length - 1.
  NodePtr item(int32_t index) const;

 private:
  explicit NodeList(NodePtr parent) : parent_(std::move(parent)) {}
  NodePtr parent_;
  friend class Node;
};

// The attributes of an element, in document order.
class NamedNodeMap {
 public:
  int32_t length() const;
  NodePtr item(int32_t index) const;
  NodePtr getNamedItem(const std::string& name) const;
  // Adds the attribute (taken from a former element if it had one); an attribute of the same
  // name is replaced and returned, else nullptr. Error 5 for a node that is not an attribute.
  NodePtr setNamedItem(const NodePtr& attribute);

 private:
  explicit NamedNodeMap(NodePtr element) : element_(std::move(element)) {}
  NodePtr element_;
  friend class Node;
};

class Document : public Node {
 public:
  static std::shared_ptr<Document> Create();

  // target "xml" with data "version='1.0'" makes the XML declaration, written as given.
  NodePtr createProcessingInstruction(const std::string& target, const std::string& data);
  NodePtr createComment(const std::string& text);
  NodePtr createElement(const std::string& name);
  NodePtr createAttribute(const std::string& name);
  NodePtr createTextNode(const std::string& text);

  // The root element, nullptr when there is none.
  NodePtr documentElement() const;

  // Replaces the contents with the file's; false (and an empty document) when the file is
  // missing or not well-formed, never an error. Never fetches anything from the network nor
  // expands external entities; whitespace-only text between elements is dropped.
  bool load(const std::string& path);
  // Replaces the contents with the text's, as load does.
  bool loadXML(const std::string& text);
  // Writes the document in UTF-8, replacing the file atomically. An AutomationError when the
  // file cannot be written; the previous file is then intact.
  void save(const std::string& path) const;

 private:
  explicit Document(std::shared_ptr<DocumentState> state);
  bool LoadFromBytes(const std::string& bytes);
  void ClearContents();

  friend class DocumentState;
};

}  // namespace orvex::xmldom
