// CTextTable's edits: a changed or added text is written through to the database table over a
// fresh connection, after which the table is unloaded.
#include "foundation/error_path.hpp"
#include "orvex/data.hpp"
#include "orvex/text_table.hpp"
#include "texttables/find_with_wrap.hpp"
#include "texttables/table_errors.hpp"
#include "texttables/text_table_class.hpp"

namespace orvex {

using foundation::IgnoringFailure;
using texttables::kTextColumn;
using texttables::kTextTableClass;

namespace {

// Unloaded rows give the runtime's object-not-set error, as a call on no object would.
void RequireWritable(const sp<data::Recordset>& rows) {
  if (!rows) Raise(errObjectNotSet);
  if (rows->LockType() == data::adLockReadOnly) texttables::RaiseTableReadOnly();
}

}  // namespace

void CTextTable::Text(int32_t ID, const std::string& New_Text) {
  try {
    RequireWritable(impl_->mrsStrings);
    if (!texttables::FindWithWrap(impl_->mrsStrings, ID)) texttables::RaiseIdAbsent();
  } catch (...) {
    foundation::RaiseAgain(kTextTableClass, "Let Text");
  }
  // From here nothing is reported, and the table is unloaded whatever happened.
  sp<data::Connection> connection;
  IgnoringFailure(
      [&] { impl_->mrsStrings->Fields()->Item(kTextColumn)->Value(Variant(New_Text)); });
  IgnoringFailure([&] { connection = impl_->OpenConnection(); });
  IgnoringFailure([&] { impl_->mrsStrings->SetActiveConnection(connection); });
  IgnoringFailure([&] { impl_->mrsStrings->Update(); });
  impl_->mrsStrings = nullptr;
  IgnoringFailure([&] {
    if (connection) connection->Close();
  });
}

int16_t CTextTable::AddNew(const std::string& New_Text) {
  try {
    RequireWritable(impl_->mrsStrings);
    auto connection = impl_->OpenConnection();
    impl_->mrsStrings->SetActiveConnection(connection);
    impl_->mrsStrings->AddNew();
    // The ID is left to the database; the new row is not read back.
    impl_->mrsStrings->Fields()->Item(kTextColumn)->Value(Variant(New_Text));
    impl_->mrsStrings->Update();
    impl_->mrsStrings = nullptr;
    connection->Close();
    return 0;
  } catch (...) {
    // Nothing is undone: a pending new row and the attachment stay on the rows.
    foundation::RaiseAgain(kTextTableClass, "AddNew");
  }
}

}  // namespace orvex
