#include "orvex/text_table.hpp"

#include "foundation/error_path.hpp"
#include "foundation/show_rule.hpp"
#include "orvex/data.hpp"
#include "orvex/modules.hpp"
#include "platform/data/sql_names.hpp"
#include "texttables/find_with_wrap.hpp"
#include "texttables/text_table_class.hpp"

namespace orvex {

using texttables::kTextColumn;
using texttables::kTextTableClass;

namespace {

// Closes a connection that is still open; used on the error path, where a second failure must
// not hide the first.
void CloseIfOpen(const sp<data::Connection>& connection) noexcept {
  foundation::IgnoringFailure([&] {
    if (connection && (connection->State() & data::adStateOpen) != 0) connection->Close();
  });
}

}  // namespace

CTextTable::CTextTable() : impl_(std::make_unique<Impl>()) { MMain::EnsureMain(); }

CTextTable::~CTextTable() = default;

void CTextTable::ConnectingString(const std::string& connectingString) {
  impl_->mstrConnectingString = connectingString;
}

const std::string& CTextTable::Language() const { return impl_->mstrLanguage; }

std::shared_ptr<data::Connection> CTextTable::Impl::OpenConnection() const {
  auto connection = std::make_shared<data::Connection>();
  connection->ConnectionString = mstrConnectingString;
  // Empty arguments: the connection string set above is the one used.
  connection->Open("", "", "", -1);
  return connection;
}

void CTextTable::LoadStringsRS(const std::string& TableName, const std::string& Language,
                               bool ReadOnly) {
  sp<data::Connection> connection;
  try {
    auto cached = impl_->StartLoad(Language);
    // The language and the table name go into the text as they stand, so they must be names.
    data::internal::RequireSqlName(impl_->mstrLanguage, "Language");
    data::internal::RequireSqlName(TableName, "TableName");
    if (cached) {
      impl_->mrsStrings = cached;
      return;
    }
    connection = impl_->OpenConnection();
    auto rows = std::make_shared<data::Recordset>();
    rows->CursorLocation(data::adUseClient);
    rows->SetActiveConnection(connection);
    rows->LockType(ReadOnly ? data::adLockReadOnly : data::adLockBatchOptimistic);
    rows->Open(
        Variant("SELECT ID, " + impl_->mstrLanguage + " as " + kTextColumn + " FROM " + TableName),
        Variant::Missing(), data::adOpenStatic, data::adLockUnspecified, data::adCmdText);
    rows->SetActiveConnection(nullptr);
    // The cache entry comes after the query, so a failed load never leaves one behind.
    impl_->mdicCache.emplace(impl_->mstrLanguage, rows->Clone(data::adLockUnspecified));
    impl_->mrsStrings = rows;
    connection->Close();
  } catch (...) {
    AutomationError pending = foundation::PendingError();
    impl_->mrsStrings = nullptr;
    CloseIfOpen(connection);
    foundation::RaiseAgain(pending, kTextTableClass, "LoadStringsRS");
  }
}

// The loggers rely on this never raising: every failure gives the empty text.
std::string CTextTable::Text(int32_t ID) {
  return texttables::TextOfId(impl_->mrsStrings, ID, kTextColumn);
}

int32_t CTextTable::Show(int16_t MessageID, int32_t Buttons, const Variant& Source,
                         const std::string& Helpfile, int32_t HelpContext) {
  return foundation::ShowFromTableAs(
      kTextTableClass, [this](int32_t id) { return Text(id); }, impl_->mstrLanguage, MessageID,
      Buttons, Source, Helpfile, HelpContext);
}

}  // namespace orvex
