#include "orvex/text_table3.hpp"

#include <memory>

#include "foundation/error_path.hpp"
#include "foundation/show_rule.hpp"
#include "orvex/data.hpp"
#include "orvex/modules.hpp"
#include "texttables/find_with_wrap.hpp"
#include "texttables/loaded_languages.hpp"
#include "texttables/table_errors.hpp"

namespace orvex {

namespace {

constexpr const char* kClassName = "ORVEX.CTextTable3";

void RequireRows(const sp<data::Recordset>& rows) {
  if (!rows) Raise(errObjectNotSet);
}

}  // namespace

struct CTextTable3::Impl : texttables::LoadedLanguages<data::Recordset> {
  bool mbReadOnly = false;
  std::shared_ptr<data::Recordset> mrsStrings;
};

CTextTable3::CTextTable3() : impl_(std::make_unique<Impl>()) { MMain::EnsureMain(); }

CTextTable3::~CTextTable3() = default;

void CTextTable3::ConnectingString(const std::string& connectingString) {
  impl_->mstrConnectingString = connectingString;
}

void CTextTable3::LoadStringsRS(const std::string& TableName, const std::string& Language,
                                bool ReadOnly) {
  (void)TableName;
  try {
    auto cached = impl_->StartLoad(Language);
    impl_->mbReadOnly = ReadOnly;
    if (cached) {
      impl_->mrsStrings = cached;
      return;
    }
    // Each language reads the file on its own: its copy does not see another language's edits.
    auto rows = std::make_shared<data::Recordset>();
    rows->Open(Variant(impl_->mstrConnectingString), Variant::Missing(), data::adOpenUnspecified,
               data::adLockUnspecified, data::adCmdUnspecified);
    impl_->mdicCache.emplace(impl_->mstrLanguage, rows->Clone(data::adLockUnspecified));
    impl_->mrsStrings = rows;
  } catch (...) {
    AutomationError pending = foundation::PendingError();
    impl_->mrsStrings = nullptr;
    foundation::RaiseAgain(pending, kClassName, "LoadStringsRS");
  }
}

std::string CTextTable3::Text(int32_t ID) {
  return texttables::TextOfId(impl_->mrsStrings, ID, impl_->mstrLanguage);
}

void CTextTable3::Text(int32_t ID, const std::string& New_Text) {
  try {
    if (impl_->mbReadOnly) texttables::RaiseTableReadOnly();
    if (!texttables::FindWithWrap(impl_->mrsStrings, ID)) texttables::RaiseIdAbsent();
  } catch (...) {
    foundation::RaiseAgain(kClassName, "Let Text");
  }
  // Not reported: a language that names no column leaves the rows as they were.
  foundation::IgnoringFailure(
      [&] { impl_->mrsStrings->Fields()->Item(impl_->mstrLanguage)->Value(Variant(New_Text)); });
  foundation::IgnoringFailure([&] { impl_->mrsStrings->Update(); });
}

int32_t CTextTable3::AddNew(const std::string& New_Text) {
  try {
    if (impl_->mbReadOnly) texttables::RaiseTableReadOnly();
    RequireRows(impl_->mrsStrings);
    impl_->mrsStrings->AddNew();
    impl_->mrsStrings->Fields()->Item(impl_->mstrLanguage)->Value(Variant(New_Text));
    impl_->mrsStrings->Update();
    return 0;
  } catch (...) {
    foundation::RaiseAgain(kClassName, "AddNew");
  }
}

int32_t CTextTable3::Show(int16_t MessageID, int32_t Buttons, const Variant& Source,
                          const std::string& Helpfile, int32_t HelpContext) {
  return foundation::ShowFromTableAs(
      kClassName, [this](int32_t id) { return Text(id); }, impl_->mstrLanguage, MessageID, Buttons,
      Source, Helpfile, HelpContext);
}

void CTextTable3::Save() {
  try {
    if (impl_->mbReadOnly) return;
    RequireRows(impl_->mrsStrings);
    impl_->mrsStrings->Save(impl_->mstrConnectingString, data::adPersistADTG);
  } catch (...) {
    foundation::RaiseAgain(kClassName, "Save");
  }
}

}  // namespace orvex
