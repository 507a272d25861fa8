#include "texttables/find_with_wrap.hpp"

#include "foundation/error_path.hpp"
#include "orvex/data.hpp"

namespace orvex::texttables {

namespace {

bool PastLastRow(const data::Recordset& rows) noexcept {
  try {
    return rows.EOF_();
  } catch (...) {
    return true;
  }
}

// For a search that cannot run in one go (a set without an ID column, say), which moves
// nothing: each step of the search is passed over and the cursor stays where the steps leave
// it.
bool FindStepByStep(data::Recordset& rows, int32_t ID) noexcept {
  const Variant id(ID);
  auto find = [&] { rows.FindValue(kIdColumn, id, 0, data::adSearchForward); };
  foundation::IgnoringFailure(find);
  if (!PastLastRow(rows)) return true;
  foundation::IgnoringFailure([&] { rows.MoveFirst(); });
  foundation::IgnoringFailure(find);
  return !PastLastRow(rows);
}

}  // namespace

std::string IdCriterion(int32_t ID) { return "ID='" + std::to_string(ID) + "'"; }

// The search for the criterion IdCriterion(ID), without writing and reading it back (the number
// finds exactly the rows its decimal text does): forward from the cursor, then once more from
// the first row, in one search where it can run.
bool FindWithWrap(const std::shared_ptr<data::Recordset>& rows, int32_t ID) noexcept {
  if (!rows) return false;
  try {
    return rows->FindValueWrapping(kIdColumn, Variant(ID));
  } catch (...) {
  }
  return FindStepByStep(*rows, ID);
}

std::string TextOfId(const std::shared_ptr<data::Recordset>& rows, int32_t ID,
                     const std::string& column) noexcept {
  try {
    if (!FindWithWrap(rows, ID)) return "";
    return CStr(rows->Fields()->Item(column)->Value());
  } catch (...) {
    return "";
  }
}

}  // namespace orvex::texttables
