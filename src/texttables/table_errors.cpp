#include "texttables/table_errors.hpp"

#include "orvex/automation_error.hpp"
#include "orvex/modules.hpp"

namespace orvex::texttables {

// No source, description or help of their own: the error path adds the source, and the runtime
// gives the generic description of an application-defined error.
void RaiseTableReadOnly() { Raise(MErrors::NSError(kErrTableReadOnly)); }

void RaiseIdAbsent() { Raise(MErrors::NSError(kErrIdAbsent)); }

}  // namespace orvex::texttables
