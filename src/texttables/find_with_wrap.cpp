#include "texttables/find_with_wrap.hpp"

#include "orvex/data.hpp"
#include "platform/data/recordset_by_position.hpp"

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

// For a search that cannot run in one go (a set without an ID column, say), which moves
// nothing: each step of the search is passed over and the cursor stays where the steps leave
// it.
bool FindStepByStep(data::Recordset& rows, int32_t ID) noexcept {
  const Variant id(ID);
  auto find = [&] { rows.FindValue(kIdColumn, id, 0, data::adSearchForward); };
  PassOverFailure(find);
  if (!PastLastRow(rows)) return true;
  PassOverFailure([&] { rows.MoveFirst(); });
  PassOverFailure(find);
  return !PastLastRow(rows);
}

// The search for the criterion IdCriterion(ID), without writing and reading it back (the number
// finds exactly the rows its decimal text does): forward from the cursor, then once more from
// the first row, in one search where it can run.
template <class OneSearch>
bool FindWithWrapThrough(const std::shared_ptr<data::Recordset>& rows, int32_t ID,
                         OneSearch oneSearch) noexcept {
  if (!rows) return false;
  try {
    return oneSearch(*rows);
  } catch (...) {
  }
  return FindStepByStep(*rows, ID);
}

}  // namespace

std::string IdCriterion(int32_t ID) { return "ID='" + std::to_string(ID) + "'"; }

bool FindWithWrap(const std::shared_ptr<data::Recordset>& rows, int32_t ID) noexcept {
  return FindWithWrapThrough(rows, ID, [&](data::Recordset& set) {
    return set.FindValueWrapping(kIdColumn, Variant(ID));
  });
}

bool FindWithWrap(const std::shared_ptr<data::Recordset>& rows, int32_t idColumn,
                  int32_t ID) noexcept {
  return FindWithWrapThrough(rows, ID, [&](data::Recordset& set) {
    return data::internal::FindValueWrapping(set, idColumn, ID);
  });
}

}  // namespace orvex::texttables
