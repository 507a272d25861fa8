#include "orvex/text_table3.hpp"

#include "foundation/error_path.hpp"
#include "foundation/show_rule.hpp"
#include "orvex/data.hpp"
#include "orvex/modules.hpp"
#include "texttables/find_with_wrap.hpp"
#include "texttables/table_errors.hpp"

namespace orvex {

namespace {

constexpr const char* kClassName = "ORVEX.CTextTable3";

void RequireRows(const sp<data::Recordset>& rows) {
  if (!rows) Raise(errObjectNotSet);
}

}  // namespace

CTextTable3::CTextTable3() { MMain::EnsureMain(); }

CTextTable3::~CTextTable3() = default;

void CTextTable3::ConnectingString(const std::string& connectingString) {
  mstrConnectingString = connectingString;
}

void CTextTable3::LoadStringsRS(const std::string& TableName, const std::string& Language,
                                bool ReadOnly) {
  (void)TableName;
  try {
    mstrLanguage = Language.empty() ? "English" : Language;
    mbReadOnly = ReadOnly;
    auto cached = mdicCache.find(mstrLanguage);
    if (cached != mdicCache.end()) {
      mrsStrings = cached->second;
      return;
    }
    // Each language reads the file on its own: its copy does not see another language's edits.
    auto rows = std::make_shared<data::Recordset>();
    rows->Open(Variant(mstrConnectingString), Variant::Missing(), data::adOpenUnspecified,
               data::adLockUnspecified, data::adCmdUnspecified);
    mdicCache.emplace(mstrLanguage, rows->Clone(data::adLockUnspecified));
    mrsStrings = rows;
  } catch (...) {
    AutomationError pending = foundation::PendingError();
    mrsStrings = nullptr;
    foundation::RaiseAgain(pending, kClassName, "LoadStringsRS");
  }
}

std::string CTextTable3::Text(int32_t ID) {
  return texttables::TextOfId(mrsStrings, ID, mstrLanguage);
}

void CTextTable3::Text(int32_t ID, const std::string& New_Text) {
  try {
    if (mbReadOnly) texttables::RaiseTableReadOnly();
    if (!texttables::FindWithWrap(mrsStrings, ID)) texttables::RaiseIdAbsent();
  } catch (...) {
    foundation::RaiseAgain(kClassName, "Let Text");
  }
  // Not reported: a language that names no column leaves the rows as they were.
  try {
    mrsStrings->Fields()->Item(mstrLanguage)->Value(Variant(New_Text));
  } catch (...) {
  }
  try {
    mrsStrings->Update();
  } catch (...) {
  }
}

int32_t CTextTable3::AddNew(const std::string& New_Text) {
  try {
    if (mbReadOnly) texttables::RaiseTableReadOnly();
    RequireRows(mrsStrings);
    mrsStrings->AddNew();
    mrsStrings->Fields()->Item(mstrLanguage)->Value(Variant(New_Text));
    mrsStrings->Update();
    return 0;
  } catch (...) {
    foundation::RaiseAgain(kClassName, "AddNew");
  }
}

int32_t CTextTable3::Show(int16_t MessageID, int32_t Buttons, const Variant& Source,
                          const std::string& Helpfile, int32_t HelpContext) {
  try {
    return foundation::ShowFromTable([this](int32_t id) { return Text(id); }, mstrLanguage,
                                     MessageID, Buttons, Source, Helpfile, HelpContext);
  } catch (...) {
    foundation::RaiseAgain(kClassName, "Show");
  }
}

void CTextTable3::Save() {
  try {
    if (mbReadOnly) return;
    RequireRows(mrsStrings);
    mrsStrings->Save(mstrConnectingString, data::adPersistADTG);
  } catch (...) {
    foundation::RaiseAgain(kClassName, "Save");
  }
}

}  // namespace orvex
