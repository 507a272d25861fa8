// The error path of the text tables and of the event and transaction loggers: the pending error
// is raised again with its own number, description and help, and a source extended with the
// class and procedure it leaves; and the steps whose failure is ignored.
#pragma once

#include <string>
#include <utility>

#include "orvex/automation_error.hpp"
#include "orvex/types.hpp"

namespace orvex::foundation {

// The exception being handled, as an AutomationError (a non-automation exception becomes error
// 5, or 7 for an allocation failure). Call only inside a catch block.
AutomationError PendingError();

// The error as the record that LogError takes and hands back: every field of it.
TErrorObject ErrorRecord(const AutomationError& error);

// Raises the pending error again with the source BuildErrSource(className, procName, source).
// The last DLL error is not passed on. Call only inside a catch block.
[[noreturn]] void RaiseAgain(const std::string& className, const std::string& procName);

// Same, for an error already taken from the exception.
[[noreturn]] void RaiseAgain(const AutomationError& pending, const std::string& className,
                             const std::string& procName);

// Runs one step whose failure the procedure ignores: whatever it raises is dropped, and the
// caller goes on with what the step left.
template <class Step>
void IgnoringFailure(Step&& step) noexcept {
  try {
    std::forward<Step>(step)();
  } catch (...) {
  }
}

}  // namespace orvex::foundation
