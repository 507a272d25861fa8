#include "foundation/error_path.hpp"

#include <exception>
#include <new>

#include "orvex/modules.hpp"

namespace orvex::foundation {

AutomationError PendingError() {
  try {
    throw;
  } catch (const AutomationError& error) {
    return error;
  } catch (const std::bad_alloc&) {
    return AutomationError(errOutOfMemory);
  } catch (const std::exception& error) {
    return AutomationError(errInvalidProcedureCall, kDefaultErrorSource, error.what());
  } catch (...) {
    return AutomationError(errInvalidProcedureCall);
  }
}

TErrorObject ErrorRecord(const AutomationError& error) {
  TErrorObject record;
  record.lNumber = error.Number;
  record.strDescription = error.Description;
  record.lHelpContext = error.HelpContext;
  record.strHelpFile = error.HelpFile;
  record.lLastDllError = error.LastDllError;
  record.strSource = error.Source;
  return record;
}

void RaiseAgain(const std::string& className, const std::string& procName) {
  RaiseAgain(PendingError(), className, procName);
}

void RaiseAgain(const AutomationError& pending, const std::string& className,
                const std::string& procName) {
  throw AutomationError(pending.Number,
                        MErrors::BuildErrSource(className, procName, pending.Source),
                        pending.Description, pending.HelpFile, pending.HelpContext);
}

}  // namespace orvex::foundation
