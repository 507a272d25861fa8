#include <cstdio>

#include "platform/automation/language_tag.hpp"
#include "platform/xmldom/dom.hpp"
#include "textexchange/exchange_errors.hpp"
#include "textexchange/xliff_format.hpp"
#include "textexchange/xliff_names.hpp"

namespace orvex::textexchange {

namespace {

using xmldom::Document;
using xmldom::NodePtr;

class XliffWriter {
 public:
  XliffWriter(const ExchangeDocument& document, XliffVersion version)
      : document_(document), version_(version), dom_(Document::Create()) {}

  std::string Write() {
    dom_->appendChild(
        dom_->createProcessingInstruction("xml", "version=\"1.0\" encoding=\"UTF-8\""));
    const bool v20 = version_ == XliffVersion::V20;
    NodePtr root = Element(dom_, "xliff");
    Attribute(root, "xmlns", v20 ? xliff::kNamespace20 : xliff::kNamespace12);
    Attribute(root, std::string("xmlns:") + xliff::kOrvexPrefix, xliff::kOrvexNamespace);
    Attribute(root, "version", v20 ? "2.0" : "1.2");
    const std::string sourceTag = languages::LanguageTag(document_.sourceLanguage);
    const std::string targetTag = languages::LanguageTag(document_.language);
    if (v20) {
      Attribute(root, "srcLang", sourceTag);
      Attribute(root, "trgLang", targetTag);
    }
    NodePtr file = Element(root, "file");
    if (v20) Attribute(file, "id", "f1");
    Attribute(file, "original", document_.origin);
    if (!v20) {
      Attribute(file, "source-language", sourceTag);
      Attribute(file, "target-language", targetTag);
      Attribute(file, "datatype", "plaintext");
    }
    Attribute(file, Prefixed(xliff::kSourceColumn), document_.sourceLanguage);
    Attribute(file, Prefixed(xliff::kTargetColumn), document_.language);
    NodePtr units = v20 ? file : Element(file, "body");
    for (const ExchangeUnit& unit : document_.units)
      v20 ? Unit20(units, unit) : Unit12(units, unit);
    return dom_->xml();
  }

 private:
  static std::string Prefixed(const char* name) {
    return std::string(xliff::kOrvexPrefix) + ":" + name;
  }

  NodePtr Element(const NodePtr& parent, const std::string& name) {
    return parent->appendChild(dom_->createElement(name));
  }

  void Attribute(const NodePtr& element, const std::string& name, const std::string& value) {
    NodePtr attribute = dom_->createAttribute(name);
    attribute->setNodeValue(value);
    element->attributes().setNamedItem(attribute);
  }

  void Unit12(const NodePtr& body, const ExchangeUnit& unit) {
    NodePtr transUnit = Element(body, "trans-unit");
    Attribute(transUnit, "id", unit.id);
    Attribute(transUnit, "xml:space", "preserve");
    Text(Element(transUnit, "source"), unit, unit.source);
    NodePtr target = Element(transUnit, "target");
    Attribute(target, "state", unit.translated ? "translated" : "needs-translation");
    Text(target, unit, unit.translated ? unit.target : std::string());
  }

  void Unit20(const NodePtr& file, const ExchangeUnit& unit) {
    NodePtr unitElement = Element(file, "unit");
    Attribute(unitElement, "id", unit.id);
    NodePtr segment = Element(unitElement, "segment");
    Attribute(segment, "state", unit.translated ? "translated" : "initial");
    NodePtr source = Element(segment, "source");
    Attribute(source, "xml:space", "preserve");
    Text(source, unit, unit.source);
    if (!unit.translated) return;
    NodePtr target = Element(segment, "target");
    Attribute(target, "xml:space", "preserve");
    Text(target, unit, unit.target);
  }

  // The text as character data; in 2.0 a character that XML cannot hold becomes <cp hex>.
  void Text(const NodePtr& element, const ExchangeUnit& unit, const std::string& text) {
    std::string run;
    for (size_t i = 0; i < text.size(); ++i) {
      const auto c = static_cast<unsigned char>(text[i]);
      const bool control = c < 0x20 && c != '\t' && c != '\n' && c != '\r';
      const bool nonCharacter = c == 0xEF && text.compare(i, 2, "\xEF\xBF") == 0 &&
                                i + 2 < text.size() &&
                                (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE;
      if (nonCharacter) RaiseUnfitText(unit.id, "holds U+FFFE or U+FFFF, which XML cannot carry");
      if (!control) {
        run += static_cast<char>(c);
        continue;
      }
      if (version_ == XliffVersion::V12)
        RaiseUnfitText(unit.id, "holds a control character, which XLIFF 1.2 cannot carry");
      if (!run.empty()) element->appendChild(dom_->createTextNode(run));
      run.clear();
      char hex[8];
      std::snprintf(hex, sizeof hex, "%04X", c);
      Attribute(Element(element, "cp"), "hex", hex);
    }
    if (!run.empty() || !element->firstChild()) element->appendChild(dom_->createTextNode(run));
  }

  const ExchangeDocument& document_;
  XliffVersion version_;
  std::shared_ptr<Document> dom_;
};

}  // namespace

std::string WriteXliff(const ExchangeDocument& document, XliffVersion version) {
  return XliffWriter(document, version).Write();
}

}  // namespace orvex::textexchange
