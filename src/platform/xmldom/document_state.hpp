// What a document owns in libxml2: its xmlDoc with the tree, and the nodes created through it or
// taken out of a tree that have no parent now (libxml2 frees neither of those by itself).
#pragma once

#include <libxml/tree.h>

#include <memory>
#include <string>
#include <unordered_set>

namespace orvex::xmldom {

class Node;
class Document;

class DocumentState : public std::enable_shared_from_this<DocumentState> {
 public:
  DocumentState();
  ~DocumentState();
  DocumentState(const DocumentState&) = delete;
  DocumentState& operator=(const DocumentState&) = delete;

  xmlDocPtr doc() const { return doc_; }
  // The state that owns a node now (the one of the document the node belongs to).
  static std::shared_ptr<DocumentState> Of(xmlNodePtr node);

  // A parentless node now owned by this document; freed with it unless linked somewhere first.
  void AddOrphan(xmlNodePtr node) { orphans_.insert(node); }
  void ForgetOrphan(xmlNodePtr node) { orphans_.erase(node); }

  // Takes node out of wherever it is (its parent, or the orphans of its document), leaving it
  // parentless and belonging to this document, with the handles of its subtree moved here.
  void TakeNode(xmlNodePtr node);
  // Handle of the document node (a new one when the last handle is gone).
  std::shared_ptr<Document> DocumentHandle();

 private:
  void MoveHandlesHere(xmlNodePtr node);

  xmlDocPtr doc_;
  std::weak_ptr<Document> handle_;
  std::unordered_set<xmlNodePtr> orphans_;
};

// The document as saved: UTF-8, the nodes as built (no declaration of its own), indented.
std::string SerialiseDocument(xmlDocPtr doc);
// The encoding its XML declaration names ("" without one).
std::string DeclaredEncoding(xmlDocPtr doc);
// The children of parent exactly as SerialiseDocument writes them at that depth (level 1 for
// the children of the root): each indented two spaces per level, on a line of its own.
std::string SerialiseChildren(xmlNodePtr parent, int level);

// Links a parentless child as the last child of parent, without libxml2's merging of adjacent
// text nodes.
void LinkLast(xmlNodePtr parent, xmlNodePtr child);

// The node behind a handle.
inline xmlNodePtr AsXml(void* node) { return static_cast<xmlNodePtr>(node); }

}  // namespace orvex::xmldom
