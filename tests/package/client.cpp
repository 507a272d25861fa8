// Uses the installed library through its public headers only.
#include <iostream>

#include "orvex/gerrors.hpp"
#include "orvex/modules.hpp"

int main() {
  orvex::GErrors errors;
  std::cout << errors.SetErrSource("PackageClient", "main") << "\n";
  return errors.COMError(5) == -2147221499 ? 0 : 1;
}
