#include "textexchange/exchange_formats.hpp"

#include <ctime>

#include "orvex/automation_error.hpp"
#include "orvex/host.hpp"
#include "textexchange/po_format.hpp"
#include "textexchange/xliff_format.hpp"

namespace orvex {

ExchangeFormat ParseExchangeFormat(const std::string& name) {
  if (name == "po") return ExchangeFormat::Po;
  if (name == "xliff12") return ExchangeFormat::Xliff12;
  if (name == "xliff20") return ExchangeFormat::Xliff20;
  Raise(errInvalidProcedureCall, "ORVEX.TextExchange",
        "Unknown format '" + name + "' (use po, xliff12 or xliff20)");
}

namespace textexchange {

namespace {

// The local time zone's offset from UTC now, in minutes.
int32_t UtcOffsetMinutes() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return 0;
  return static_cast<int32_t>(local.tm_gmtoff / 60);
}

}  // namespace

std::string WriteDocument(const ExchangeDocument& document, ExchangeFormat format) {
  switch (format) {
    case ExchangeFormat::Po:
      return WritePo(document, CurrentHost().Now(), UtcOffsetMinutes());
    case ExchangeFormat::Xliff12:
      return WriteXliff(document, XliffVersion::V12);
    case ExchangeFormat::Xliff20:
      return WriteXliff(document, XliffVersion::V20);
  }
  Raise(errInvalidProcedureCall);
}

ExchangeDocument ReadDocument(const std::string& text, ExchangeFormat format) {
  switch (format) {
    case ExchangeFormat::Po:
      return ReadPo(text);
    case ExchangeFormat::Xliff12:
      return ReadXliff(text, XliffVersion::V12);
    case ExchangeFormat::Xliff20:
      return ReadXliff(text, XliffVersion::V20);
  }
  Raise(errInvalidProcedureCall);
}

}  // namespace textexchange
}  // namespace orvex
