// The quick check of a log file's shape that lets SaveXMLLog append without loading the file:
// whatever it accepts, libxml2 must accept too (as a bare parse and as the document load), with
// the root it was asked for, and the records spliced in where it says must be the root's last
// children afterwards.
#include <libxml/parser.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/xmldom/dom.hpp"
#include "platform/xmldom/log_document_scan.hpp"

namespace {

bool LibxmlAccepts(const std::string& text) {
  xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  bool ok =
      doc != nullptr && xmlDocGetRootElement(doc) != nullptr &&
      std::string_view(reinterpret_cast<const char*>(xmlDocGetRootElement(doc)->name)) == "errors";
  xmlFreeDoc(doc);
  return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvex::xmldom;
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::optional<LogDocumentLayout> layout = ScanLogDocument(text, "errors");
  if (!layout) return 0;
  if (layout->insertAt > layout->resumeAt || layout->resumeAt > text.size()) __builtin_trap();
  if (!LibxmlAccepts(text)) __builtin_trap();
  auto loaded = Document::Create();
  if (!loaded->loadXML(text) || loaded->documentElement()->nodeName() != "errors") __builtin_trap();

  std::string spliced = text.substr(0, layout->insertAt);
  spliced += layout->emptyRoot ? ">\n" : "\n";
  spliced += "  <error lErrorNumber=\"53\" strDescription=\"a &amp; &lt;b&gt;\"/>\n";
  if (layout->emptyRoot) spliced += "</errors>";
  spliced += text.substr(layout->resumeAt);
  auto appended = Document::Create();
  if (!appended->loadXML(spliced)) __builtin_trap();
  NodePtr last = appended->documentElement()->lastChild();
  if (!last || last->nodeName() != "error" || last->getAttribute("strDescription") != "a & <b>")
    __builtin_trap();
  return 0;
}
