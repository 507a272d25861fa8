// The saved-rows reader on arbitrary bytes. Most inputs get a correct checksum appended, so that
// the fuzzer reaches the parser behind the checksum instead of stopping at it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "orvex/automation_error.hpp"
#include "platform/data/recordset_state.hpp"
#include "saved_rows_checksum.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if ((data[0] & 3) != 0) bytes = orvex::fuzz::WithChecksum(std::move(bytes));
  try {
    auto store = orvex::data::internal::DecodeSavedRows(bytes, "fuzz.rows");
    // What was read must write back to the same bytes' worth of rows.
    std::string again = orvex::data::internal::EncodeSavedRows(*store);
    auto reread = orvex::data::internal::DecodeSavedRows(again, "again.rows");
    if (reread->RowCount() != store->RowCount()) __builtin_trap();
  } catch (const orvex::AutomationError&) {
  }
  return 0;
}
