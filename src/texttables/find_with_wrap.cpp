#include "texttables/find_with_wrap.hpp"

#include "orvex/data.hpp"

namespace orvex::texttables {

namespace {

// Runs one step of the search; its failure leaves the cursor where the step left it.
template <class Step>
void PassOverFailure(Step step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

bool PastLastRow(const data::Recordset& rows) noexcept {
  try {
    return rows.EOF_();
  } catch (...) {
    return true;
  }
}

}  // namespace

std::string IdCriterion(int32_t ID) { return "ID='" + std::to_string(ID) + "'"; }

bool FindWithWrap(const std::shared_ptr<data::Recordset>& rows, int32_t ID) noexcept {
  if (!rows) return false;
  // The search for the criterion IdCriterion(ID), without writing and reading it back: the
  // number finds exactly the rows its decimal text does.
  static const std::string kIdColumn = "ID";
  const Variant id(ID);
  PassOverFailure([&] { rows->FindValue(kIdColumn, id, 0, data::adSearchForward); });
  if (!PastLastRow(*rows)) return true;
  // The ID may lie behind the cursor: search once more from the first row, as MoveFirst and a
  // search from there would.
  static const Variant kFromFirstRow(data::adBookmarkFirst);
  PassOverFailure([&] { rows->FindValue(kIdColumn, id, 0, data::adSearchForward, kFromFirstRow); });
  return !PastLastRow(*rows);
}

}  // namespace orvex::texttables
