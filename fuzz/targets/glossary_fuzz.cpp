// The glossary reader (the SAX reader feeding the element extractor, as CTextTable2 wires them)
// on arbitrary document bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "orvex/automation_error.hpp"
#include "platform/scripting/text_dictionary.hpp"
#include "platform/xmldom/sax.hpp"
#include "xml/xml_extractor.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvex;
  if (size == 0) return 0;
  static const char* const kLanguages[] = {"English", "Arabic", "ID", "", "x:English"};
  auto extractor = std::make_shared<CXMLExtractor>();
  auto reader = std::make_shared<xmldom::SAXXMLReader>();
  ReaderHandlersRelease release(reader);
  extractor->parent(reader);
  extractor->cutElement = "Glossary";
  auto glossary = std::make_shared<scripting::TextDictionary>();
  extractor->gdicGlossary = glossary;
  extractor->gstrLanguage = kLanguages[data[0] % 5];
  try {
    reader->parse(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  } catch (const AutomationError&) {
  }
  // Every key added is found again, and once only.
  const std::vector<std::string> keys = glossary->Keys();
  if (static_cast<int32_t>(keys.size()) != glossary->Count()) __builtin_trap();
  for (const std::string& key : keys) {
    if (!glossary->Find(key)) __builtin_trap();
  }
  return 0;
}
