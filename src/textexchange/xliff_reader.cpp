#include <charconv>

#include "orvex/automation_error.hpp"
#include "platform/xmldom/sax.hpp"
#include "textexchange/exchange_errors.hpp"
#include "textexchange/utf8_text.hpp"
#include "textexchange/xliff_format.hpp"
#include "textexchange/xliff_names.hpp"

namespace orvex::textexchange {

namespace {

using Handler = xmldom::ContentHandler;

class XliffHandler : public Handler {
 public:
  explicit XliffHandler(XliffVersion version)
      : version_(version),
        namespace_(version == XliffVersion::V20 ? xliff::kNamespace20 : xliff::kNamespace12),
        format_(version == XliffVersion::V20 ? "XLIFF 2.0" : "XLIFF 1.2") {}

  ExchangeDocument TakeDocument() { return std::move(document_); }
  const char* Format() const { return format_; }

  void documentLocator(const xmldom::Locator& locator) override { locator_ = &locator; }
  void startDocument() override {}
  void endDocument() override {
    if (!sawRoot_) Fail("no <xliff> root element");
  }
  void startPrefixMapping(std::string_view, std::string_view) override {}
  void endPrefixMapping(std::string_view) override {}
  void processingInstruction(std::string_view, std::string_view) override {}
  void skippedEntity(std::string_view) override {}
  void ignorableWhitespace(std::string_view chars) override { characters(chars); }

  void startElement(std::string_view uri, std::string_view localName, std::string_view,
                    const xmldom::Attributes& attributes) override {
    const bool ours = uri == namespace_;
    const std::string parent = path_.empty() ? std::string() : path_.back();
    path_.push_back(ours ? std::string(localName) : std::string());
    if (capture_ != nullptr) {
      if (ours && localName == "cp") CodePoint(attributes);
      return;
    }
    if (!sawRoot_) Root(ours, localName, attributes);
    if (!ours) return;
    if (localName == "file") File(attributes);
    if (localName == (version_ == XliffVersion::V20 ? "unit" : "trans-unit")) Unit(attributes);
    const bool textParent = version_ == XliffVersion::V20
                                ? parent == "segment" || parent == "ignorable"
                                : parent == "trans-unit";
    if (inUnit_ && textParent && (localName == "source" || localName == "target")) {
      capture_ =
          localName == "source" ? &document_.units.back().source : &document_.units.back().target;
      captureDepth_ = path_.size();
    }
  }

  void endElement(std::string_view, std::string_view, std::string_view) override {
    if (capture_ != nullptr && path_.size() == captureDepth_) capture_ = nullptr;
    if (inUnit_ && path_.size() == unitDepth_) inUnit_ = false;
    path_.pop_back();
  }

  void characters(std::string_view chars) override {
    if (capture_ != nullptr) capture_->append(chars);
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    RaiseInvalidFile(format_, locator_ != nullptr ? locator_->lineNumber() : 0, what);
  }

  void Root(bool ours, std::string_view localName, const xmldom::Attributes& attributes) {
    sawRoot_ = true;
    if (!ours || localName != "xliff")
      Fail("the root element is not <xliff> in the namespace " + std::string(namespace_));
    const std::string wanted = version_ == XliffVersion::V20 ? "2.0" : "1.2";
    if (attributes.getIndexFromName("", "version") < 0 ||
        attributes.getValueFromName("", "version") != wanted)
      Fail("the document is not of version " + wanted);
  }

  void File(const xmldom::Attributes& attributes) {
    if (attributes.getIndexFromName(xliff::kOrvexNamespace, xliff::kSourceColumn) >= 0)
      document_.sourceLanguage =
          attributes.getValueFromName(xliff::kOrvexNamespace, xliff::kSourceColumn);
    if (attributes.getIndexFromName(xliff::kOrvexNamespace, xliff::kTargetColumn) >= 0)
      document_.language =
          attributes.getValueFromName(xliff::kOrvexNamespace, xliff::kTargetColumn);
    if (attributes.getIndexFromName("", "original") >= 0)
      document_.origin = attributes.getValueFromName("", "original");
  }

  void Unit(const xmldom::Attributes& attributes) {
    if (attributes.getIndexFromName("", "id") < 0) Fail("a unit without id");
    ExchangeUnit unit;
    unit.id = attributes.getValueFromName("", "id");
    unit.line = locator_ != nullptr ? locator_->lineNumber() : 0;
    document_.units.push_back(std::move(unit));
    inUnit_ = true;
    unitDepth_ = path_.size();
  }

  // <cp hex="0001"/>: a character that XML cannot hold, by its code point.
  void CodePoint(const xmldom::Attributes& attributes) {
    const std::string hex = attributes.getIndexFromName("", "hex") >= 0
                                ? attributes.getValueFromName("", "hex")
                                : std::string();
    uint32_t code = 0;
    const auto read = std::from_chars(hex.data(), hex.data() + hex.size(), code, 16);
    if (hex.empty() || read.ec != std::errc() || read.ptr != hex.data() + hex.size() ||
        code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
      Fail("<cp> without a code point in hex");
    AppendUtf8(*capture_, code);
  }

  static void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  XliffVersion version_;
  std::string_view namespace_;
  const char* format_;
  const xmldom::Locator* locator_ = nullptr;
  ExchangeDocument document_;
  std::vector<std::string> path_;  // local names of our namespace, "" for others
  bool sawRoot_ = false;
  bool inUnit_ = false;
  size_t unitDepth_ = 0;
  std::string* capture_ = nullptr;  // the text being read, inside <source> or <target>
  size_t captureDepth_ = 0;
};

}  // namespace

ExchangeDocument ReadXliff(const std::string& text, XliffVersion version) {
  auto handler = std::make_shared<XliffHandler>(version);
  auto reader = std::make_shared<xmldom::SAXXMLReader>();
  reader->contentHandler(handler);
  try {
    reader->parse(text);
  } catch (const AutomationError& error) {
    reader->contentHandler(nullptr);
    if (error.Number != xmldom::kXmlParseError) throw;
    RaiseInvalidFile(handler->Format(), 0, error.Description);
  }
  reader->contentHandler(nullptr);
  ExchangeDocument document = handler->TakeDocument();
  for (ExchangeUnit& unit : document.units) {
    if (!IsUtf8(unit.source) || !IsUtf8(unit.target))
      RaiseInvalidFile(handler->Format(), unit.line, "a <cp> that makes the text not UTF-8");
    unit.translated = !unit.target.empty();
  }
  return document;
}

}  // namespace orvex::textexchange
