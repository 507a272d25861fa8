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
  // The search for the criterion IdCriterion(ID), without writing and reading it back (the
  // number finds exactly the rows its decimal text does): forward from the cursor, then once
  // more from the first row, in one search where it can run.
  static const std::string kIdColumn = "ID";
  const Variant id(ID);
  try {
    return rows->FindValueWrapping(kIdColumn, id);
  } catch (...) {
  }
  // A search that cannot run (a set without an ID column, say) moves nothing: each step of the
  // search is then passed over and the cursor stays where the steps leave it.
  auto find = [&] { rows->FindValue(kIdColumn, id, 0, data::adSearchForward); };
  PassOverFailure(find);
  if (!PastLastRow(*rows)) return true;
  PassOverFailure([&] { rows->MoveFirst(); });
  PassOverFailure(find);
  return !PastLastRow(*rows);
}

}  // namespace orvex::texttables
