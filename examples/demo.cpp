// A small client of the library: error sources, component error numbers, the general date text,
// and the error logger with its event and message-box destinations.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <memory>

#include "orvex/gerrors.hpp"
#include "orvex/host.hpp"
#include "orvex/log_error.hpp"
#include "orvex/modules.hpp"

namespace {

// Prints each ShowError event the logger raises.
class PrintingSink : public orvex::CLogErrorEvents {
 public:
  void ShowError(const std::string& errSource, int32_t ErrNumber,
                 const std::string& ErrDescription, orvex::Date ErrDate) override {
    std::cout << "  ShowError event: #" << ErrNumber << " " << ErrDescription << "\n"
              << "    source: " << errSource << "\n"
              << "    at:     " << orvex::FormatGeneralDate(ErrDate) << "\n";
  }
};

}  // namespace

int main() {
  using namespace orvex;
  MMain::Main();
  GErrors errors;
  std::cout << "ORVEX demo\n";
  std::cout << "Computer name:          " << MMain::gstrComputerName << "\n";
  std::cout << "SetErrSource:           " << errors.SetErrSource("Demo", "main") << "\n";
  std::cout << "COMError(5):            " << errors.COMError(5) << "\n";
  std::cout << "NSError(20000):         " << MErrors::NSError(20000) << "\n";
  std::cout << "PlainErrNumber(0xA00003E9): "
            << MErrors::PlainErrNumber(static_cast<int32_t>(0xA00003E9u)) << "\n";
  std::cout << "General date text now:  " << FormatGeneralDate(CurrentHost().Now()) << "\n";

  auto logger = std::make_shared<CLogError>();
  logger->glERROR_B = 1000;
  logger->glERROR_E = 1999;
  logger->Advise(std::make_shared<PrintingSink>());
  // The message boxes appear on the terminal only when the demo runs interactively.
  const bool interactive = isatty(STDIN_FILENO) != 0;
  const int32_t destinations = ltRAISEEVENT | (interactive ? ltMSGBOX : 0);

  TErrorObject component;
  component.lNumber = static_cast<int32_t>(0x90000000u | 1005);
  component.strDescription = "The order has no lines";
  component.strSource = "OrderEntry";
  std::cout << "Logging a component error:\n";
  int32_t result = logger->LogError("Orders", "Submit", component, destinations, 64);
  std::cout << "  result word: " << result << "\n";

  TErrorObject system;
  system.lNumber = -2147467259;
  system.strDescription = "Unspecified error";
  std::cout << "Logging a system error:\n";
  result = logger->LogError("Orders", "Save", system, destinations, 16);
  std::cout << "  result word: " << result << "\n";
  return 0;
}
