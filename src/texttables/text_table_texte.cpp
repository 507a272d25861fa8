// CTextTable's TextE: one text of any language read or written directly in the fixed table
// "LanguageStrings", with nothing loaded or cached.
#include "foundation/error_path.hpp"
#include "orvex/data.hpp"
#include "orvex/text_table.hpp"
#include "platform/data/sql_names.hpp"
#include "texttables/find_with_wrap.hpp"
#include "texttables/text_table_class.hpp"

namespace orvex {

using texttables::kTextTableClass;

namespace {

constexpr const char* kStringColumn = "String";

std::string LanguageStringsQuery(const std::string& Language) {
  data::internal::RequireSqlName(Language, "Language");
  return "SELECT ID, " + Language + " as " + kStringColumn + " FROM LanguageStrings";
}

sp<data::Recordset> OpenLanguageStrings(const sp<data::Connection>& connection,
                                        const std::string& Language, int32_t lockType) {
  auto rows = std::make_shared<data::Recordset>();
  rows->CursorLocation(data::adUseClient);
  rows->SetActiveConnection(connection);
  rows->Open(Variant(LanguageStringsQuery(Language)), Variant::Missing(), data::adOpenStatic,
             lockType, data::adCmdText);
  return rows;
}

// One search from the first row, with no wrap; true when the row of ID is now current.
bool FindFromTop(data::Recordset& rows, int32_t ID) {
  rows.MoveFirst();
  rows.Find(texttables::IdCriterion(ID), 0, data::adSearchForward);
  return !rows.EOF_();
}

}  // namespace

std::string CTextTable::TextE(const std::string& Language, int32_t ID) {
  try {
    auto connection = impl_->OpenConnection();
    auto rows = OpenLanguageStrings(connection, Language, data::adLockReadOnly);
    rows->SetActiveConnection(nullptr);
    connection->Close();
    if (!FindFromTop(*rows, ID)) return "";
    std::string text = CStr(rows->Fields()->Item(kStringColumn)->Value());
    rows->Close();
    return text;
  } catch (...) {
    foundation::RaiseAgain(kTextTableClass, "Get TextE");
  }
}

void CTextTable::TextE(const std::string& Language, int32_t ID, const std::string& New_Text) {
  try {
    auto connection = impl_->OpenConnection();
    auto rows = OpenLanguageStrings(connection, Language, data::adLockPessimistic);
    if (!FindFromTop(*rows, ID)) return;  // an absent ID changes nothing and is no error
    rows->Fields()->Item(kStringColumn)->Value(Variant(New_Text));
    rows->Update();
    rows->SetActiveConnection(nullptr);
    connection->Close();
    rows->Close();
  } catch (...) {
    foundation::RaiseAgain(kTextTableClass, "let TextE");
  }
}

}  // namespace orvex
