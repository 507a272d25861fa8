#include "orvex/text_table2.hpp"

#include <charconv>
#include <memory>

#include "foundation/error_path.hpp"
#include "foundation/show_rule.hpp"
#include "orvex/modules.hpp"
#include "platform/scripting/text_dictionary.hpp"
#include "platform/xmldom/sax.hpp"
#include "texttables/loaded_languages.hpp"
#include "xml/xml_extractor.hpp"

namespace orvex {

namespace {

constexpr const char* kClassName = "ORVEX.CTextTable2";
constexpr const char* kGlossaryElement = "Glossary";

}  // namespace

struct CTextTable2::Impl : texttables::LoadedLanguages<scripting::TextDictionary> {
  std::shared_ptr<scripting::TextDictionary> mdicGlossary;
};

CTextTable2::CTextTable2() : impl_(std::make_unique<Impl>()) { MMain::EnsureMain(); }

CTextTable2::~CTextTable2() = default;

void CTextTable2::ConnectingString(const std::string& connectingString) {
  impl_->mstrConnectingString = connectingString;
}

void CTextTable2::LoadStringsRS(const std::string& TableName, const std::string& Language,
                                bool ReadOnly) {
  (void)TableName, (void)ReadOnly;
  try {
    if (auto cached = impl_->StartLoad(Language)) {
      impl_->mdicGlossary = cached;
      return;
    }
    auto extractor = std::make_shared<CXMLExtractor>();
    auto reader = std::make_shared<xmldom::SAXXMLReader>();
    ReaderHandlersRelease release(reader);
    extractor->parent(reader);
    extractor->cutElement = kGlossaryElement;
    // Cached before the parse: a parse that fails keeps the entries it read for the next load.
    auto glossary = std::make_shared<scripting::TextDictionary>();
    impl_->mdicCache.emplace(impl_->mstrLanguage, glossary);
    extractor->gdicGlossary = glossary;
    extractor->gstrLanguage = impl_->mstrLanguage;
    reader->parseURL(impl_->mstrConnectingString);
    impl_->mdicGlossary = glossary;
  } catch (...) {
    AutomationError pending = foundation::PendingError();
    impl_->mdicGlossary = nullptr;
    foundation::RaiseAgain(pending, kClassName, "LoadStringsRS");
  }
}

std::string CTextTable2::Text(int32_t ID) {
  try {
    if (!impl_->mdicGlossary) return "";
    char key[16];
    auto written = std::to_chars(key, key + sizeof key, ID);
    std::optional<std::string_view> text =
        impl_->mdicGlossary->Find(std::string_view(key, written.ptr - key));
    return text ? std::string(*text) : std::string();
  } catch (...) {
    return "";
  }
}

int32_t CTextTable2::Show(int16_t MessageID, int32_t Buttons, const Variant& Source,
                          const std::string& Helpfile, int32_t HelpContext) {
  return foundation::ShowFromTableAs(
      kClassName, [this](int32_t id) { return Text(id); }, impl_->mstrLanguage, MessageID, Buttons,
      Source, Helpfile, HelpContext);
}

}  // namespace orvex
