// Reads an XML log file back: the root's name and each record element with its attributes in
// document order, for tests of the loggers' XML destinations.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/xmldom/dom.hpp"

namespace orvex::testing {

struct XmlRecord {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;  // in document order

  std::string Attribute(const std::string& wanted) const {
    for (const auto& [attribute, value] : attributes)
      if (attribute == wanted) return value;
    return "";
  }
};

struct XmlLogFile {
  bool loaded = false;
  std::string rootName;
  std::vector<XmlRecord> records;

  // The strDescription attribute of each record, in order ("" where it has none).
  std::vector<std::string> Descriptions() const {
    std::vector<std::string> texts;
    for (const XmlRecord& record : records) texts.push_back(record.Attribute("strDescription"));
    return texts;
  }
};

inline XmlLogFile ReadXmlLog(const std::string& path) {
  XmlLogFile file;
  auto doc = xmldom::Document::Create();
  file.loaded = doc->load(path);
  xmldom::NodePtr root = doc->documentElement();
  if (!root) return file;
  file.rootName = root->nodeName();
  xmldom::NodeList children = root->childNodes();
  for (int32_t i = 0; i < children.length(); ++i) {
    xmldom::NodePtr child = children.item(i);
    if (child->nodeType() != xmldom::NODE_ELEMENT) continue;
    XmlRecord record{child->nodeName(), {}};
    xmldom::NamedNodeMap attributes = child->attributes();
    for (int32_t a = 0; a < attributes.length(); ++a)
      record.attributes.emplace_back(attributes.item(a)->nodeName(),
                                     attributes.item(a)->nodeValue());
    file.records.push_back(std::move(record));
  }
  return file;
}

}  // namespace orvex::testing
