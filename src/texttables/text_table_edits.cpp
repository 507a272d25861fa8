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
    RequireWritable(mrsStrings);
    if (!texttables::FindWithWrap(mrsStrings, ID)) texttables::RaiseIdAbsent();
  } catch (...) {
    foundation::RaiseAgain(kTextTableClass, "Let Text");
  }
  // From here nothing is reported, and the table is unloaded whatever happened.
  sp<data::Connection> connection;
  IgnoringFailure([&] { mrsStrings->Fields()->Item(kTextColumn)->Value(Variant(New_Text)); });
  IgnoringFailure([&] { connection = OpenConnection(); });
  IgnoringFailure([&] { mrsStrings->SetActiveConnection(connection); });
  IgnoringFailure([&] { mrsStrings->Update(); });
  mrsStrings = nullptr;
  IgnoringFailure([&] {
    if (connection) connection->Close();
  });
}

int16_t CTextTable::AddNew(const std::string& New_Text) {
  try {
    RequireWritable(mrsStrings);
    auto connection = OpenConnection();
    mrsStrings->SetActiveConnection(connection);
    mrsStrings->AddNew();
    // The ID is left to the database; the new row is not read back.
    mrsStrings->Fields()->Item(kTextColumn)->Value(Variant(New_Text));
    mrsStrings->Update();
    mrsStrings = nullptr;
    connection->Close();
    return 0;
  } catch (...) {
    // Nothing is undone: a pending new row and the attachment stay on the rows.
    foundation::RaiseAgain(kTextTableClass, "AddNew");
  }
}

}  // namespace orvex
