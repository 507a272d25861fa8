// An XML glossary's texts: the elements "Glossary" with an "ID" attribute and one attribute per
// language, as CTextTable2 reads them. Written back as a new document that replaces the old one
// atomically.
#include <filesystem>
#include <vector>

#include "orvex/automation_error.hpp"
#include "platform/files/whole_file.hpp"
#include "platform/xmldom/dom.hpp"
#include "platform/xmldom/sax.hpp"
#include "platform/xmldom/xml_text.hpp"
#include "textexchange/exchange_document.hpp"
#include "textexchange/exchange_errors.hpp"
#include "textexchange/table_texts.hpp"

namespace orvex::textexchange {

namespace {

constexpr const char* kSource = "ORVEX.TextExchange";
constexpr const char* kGlossaryElement = "Glossary";
constexpr const char* kIdAttribute = "ID";

// The attribute's value; "" when the element lacks it, as the glossary's reader takes it.
std::string AttributeText(const xmldom::NodePtr& element, const std::string& name) {
  return element->hasAttribute(name) ? element->getAttribute(name) : std::string();
}

class GlossaryTexts : public TableTexts {
 public:
  explicit GlossaryTexts(std::string path) : path_(std::move(path)) {}

  TableTextMap Read(const std::string& sourceLanguage, const std::string& language) override {
    language_ = language;
    document_ = xmldom::Document::Create();
    if (!document_->loadXML(files::ReadWholeFile(path_, kSource)))
      Raise(xmldom::kXmlParseError, kSource, "The glossary '" + path_ + "' is not well-formed XML");
    elements_.clear();
    TableTextMap texts;
    Collect(document_, sourceLanguage, texts);
    return texts;
  }

  void Write(const std::map<int32_t, std::string>& targets) override {
    for (const auto& [id, text] : targets) {
      for (size_t at = 0; at < text.size();) {
        const size_t length = xmldom::AllowedSequenceLength(text, at);
        if (length == 0)
          RaiseUnfitText(std::to_string(id), "holds a character that an XML glossary cannot hold");
        at += length;
      }
    }
    for (const auto& [id, element] : elements_) {
      const auto target = targets.find(id);
      if (target == targets.end()) continue;
      xmldom::NodePtr attribute = element->attributes().getNamedItem(language_);
      if (!attribute) {
        attribute = document_->createAttribute(language_);
        element->attributes().setNamedItem(attribute);
      }
      attribute->setNodeValue(target->second);
    }
    document_->save(path_);
  }

  std::string Origin() const override { return std::filesystem::path(path_).filename().string(); }

 private:
  // Every Glossary element of the document, in document order, whatever its depth.
  void Collect(const xmldom::NodePtr& parent, const std::string& sourceLanguage,
               TableTextMap& texts) {
    for (xmldom::NodePtr child = parent->firstChild(); child; child = child->nextSibling()) {
      if (child->nodeType() != xmldom::NODE_ELEMENT) continue;
      if (child->nodeName() == kGlossaryElement) {
        if (auto id = ParseId(AttributeText(child, kIdAttribute))) {
          texts.try_emplace(*id, TableText{AttributeText(child, sourceLanguage),
                                           AttributeText(child, language_)});
          // Every element of the ID is written, so that the table reads the new text whichever
          // of them it takes.
          elements_.emplace_back(*id, child);
        }
      }
      Collect(child, sourceLanguage, texts);
    }
  }

  std::string path_;
  std::string language_;
  std::shared_ptr<xmldom::Document> document_;
  std::vector<std::pair<int32_t, xmldom::NodePtr>> elements_;
};

}  // namespace

std::unique_ptr<TableTexts> OpenGlossaryTexts(const std::string& path) {
  return std::make_unique<GlossaryTexts>(path);
}

}  // namespace orvex::textexchange
