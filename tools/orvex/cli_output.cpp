#include "cli_output.hpp"

#include <cstdio>
#include <exception>
#include <iostream>

#include "cli_args.hpp"

namespace orvex::cli {

std::string ErrorLine(int32_t number, const std::string& source, const std::string& description) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<uint32_t>(number));
  return "error " + std::to_string(number) + " (" + hex + ") in " + source + ": " + description;
}

std::string ErrorLine(const AutomationError& error) {
  return ErrorLine(error.Number, error.Source, error.Description);
}

void PrintError(const AutomationError& error) { std::cerr << ErrorLine(error) << '\n'; }

int RunReporting(const std::function<int()>& command) {
  try {
    return command();
  } catch (const UsageError& error) {
    PrintError(error);
    std::cerr << "(see orvex --help)\n";
    return kExitUsage;
  } catch (const AutomationError& error) {
    PrintError(error);
    return kExitError;
  } catch (const std::exception& error) {
    // Not an automation error: report it in the same shape, as the runtime's unspecified failure.
    std::cerr << ErrorLine(static_cast<int32_t>(0x80004005u), "orvex", error.what()) << '\n';
    return kExitError;
  }
}

}  // namespace orvex::cli
