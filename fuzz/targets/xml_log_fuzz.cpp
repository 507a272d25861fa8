// An XML log file as SaveXMLLog meets it: arbitrary bytes loaded as a document, the buffered
// records moved under its root, and the result written out. A document that loaded must still
// load after the records were added.
#include <cstddef>
#include <cstdint>
#include <string>

#include "orvex/automation_error.hpp"
#include "platform/xmldom/dom.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvex::xmldom;
  auto file = Document::Create();
  // Bytes that do not load stop here, as SaveXMLLog stops at a file without a root element.
  if (!file->loadXML(std::string(reinterpret_cast<const char*>(data), size))) return 0;
  NodePtr root = file->documentElement();
  if (!root) return 0;
  auto buffer = Document::Create();
  NodePtr bufferRoot = buffer->createElement("errors");
  buffer->appendChild(bufferRoot);
  for (int i = 0; i < 2; ++i) {
    NodePtr record = buffer->createElement("error");
    bufferRoot->appendChild(record);
    NodePtr number = buffer->createAttribute("lErrorNumber");
    number->setNodeValue(int32_t{53 + i});
    record->attributes().setNamedItem(number);
    // The input's own bytes as a description: broken UTF-8 and control characters included.
    NodePtr description = buffer->createAttribute("strDescription");
    description->setNodeValue(
        std::string(reinterpret_cast<const char*>(data), size < 64 ? size : 64));
    record->attributes().setNamedItem(description);
  }
  try {
    while (NodePtr record = bufferRoot->firstChild()) root->appendChild(record);
  } catch (const orvex::AutomationError&) {
    return 0;
  }
  auto reread = Document::Create();
  if (!reread->loadXML(file->xml())) __builtin_trap();
  return 0;
}
