#include "platform/data/errors.hpp"

#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"

namespace orvex::data::internal {

std::string DataErrorText(int32_t number) {
  switch (number) {
    case adErrInvalidArgument:
      return "Arguments are of the wrong type, are out of acceptable range, or are in conflict "
             "with one another.";
    case adErrOpeningFile:
      return "File could not be opened.";
    case adErrNoCurrentRecord:
      return "Either BOF or EOF is True, or the current record has been deleted. Requested "
             "operation requires a current record.";
    case adErrIllegalOperation:
      return "Operation is not allowed in this context.";
    case adErrFeatureNotAvailable:
      return "Current Recordset does not support updating. This may be a limitation of the "
             "provider, or of the selected locktype.";
    case adErrItemNotFound:
      return "Item cannot be found in the collection corresponding to the requested name or "
             "ordinal.";
    case adErrDataConversion:
      return "Application uses a value of the wrong type for the current operation.";
    case adErrObjectClosed:
      return "Operation is not allowed when the object is closed.";
    case adErrObjectOpen:
      return "Operation is not allowed when the object is open.";
    case adErrProviderNotFound:
      return "Provider cannot be found. It may not be properly installed.";
    case adErrInvalidConnection:
      return "The connection cannot be used to perform this operation. It is either closed or "
             "invalid in this context.";
    case XACT_E_NOTRANSACTION:
      return "No transaction is active.";
    case DB_E_ROWNOTFOUND:
      return "Row cannot be located for updating. Some values may have been changed since it "
             "was last read.";
    default:
      return "";
  }
}

void RaiseDataError(int32_t number, const std::string& className, const std::string& description) {
  std::string text = description.empty() ? DataErrorText(number) : description;
  throw AutomationError(number, "ORVEX.Data." + className, text);
}

}  // namespace orvex::data::internal
