// The errors of the translation files.
#include "textexchange/exchange_errors.hpp"
#include "orvex/automation_error.hpp"
#include "orvex/modules.hpp"
#include "orvex/text_exchange.hpp"

namespace orvex::textexchange {

namespace {
constexpr const char* kSource = "ORVEX.TextExchange";
}  // namespace

void RaiseInvalidFile(const std::string& format, int32_t line, const std::string& what) {
  const std::string where = line > 0 ? " at line " + std::to_string(line) : "";
  Raise(MErrors::NSError(kErrExchangeFileInvalid), kSource,
        "Not a valid " + format + " file" + where + ": " + what);
}

void RaiseUnfitText(const std::string& id, const std::string& what) {
  Raise(MErrors::NSError(kErrExchangeTextUnfit), kSource, "The text of ID " + id + " " + what);
}

}  // namespace orvex::textexchange
