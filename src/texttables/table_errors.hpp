// The component errors that the editable text tables raise with their number alone.
#pragma once

#include <cstdint>

namespace orvex::texttables {

// Plain numbers, before the non-severe class bits are added.
inline constexpr int32_t kErrTableReadOnly = 20000;  // an edit asked of read-only rows
inline constexpr int32_t kErrIdAbsent = 20001;       // the ID to edit is not in the rows

[[noreturn]] void RaiseTableReadOnly();
[[noreturn]] void RaiseIdAbsent();

}  // namespace orvex::texttables
