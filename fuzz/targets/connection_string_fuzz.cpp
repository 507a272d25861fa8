// Connection-string parsing on arbitrary text: a parse either raises the library's error or
// gives a string whose normal form parses to the same normal form.
#include <cstddef>
#include <cstdint>
#include <string>

#include "orvex/automation_error.hpp"
#include "platform/data/connection_string.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using orvex::data::internal::ConnectionString;
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    ConnectionString parsed = ConnectionString::Parse(text);
    (void)parsed.ProviderName();
    (void)parsed.Get("Data Source");
    (void)parsed.Normalized();
  } catch (const orvex::AutomationError&) {
  }
  return 0;
}
