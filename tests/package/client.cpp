// Uses the library through its public headers only, compiled at the level the package asks for.
#include <cstring>
#include <iostream>

#include "orvex/orvex.hpp"
#include "orvex/orvex_c.h"

int main() {
  orvex::GErrors errors;
  std::cout << errors.SetErrSource("PackageClient", "main") << "\n";
  // The headers compiled against and the library loaded are the same release.
  if (std::strcmp(orvex_version(), ORVEX_VERSION_STRING) != 0) {
    std::cerr << "headers " << ORVEX_VERSION_STRING << ", library " << orvex_version() << "\n";
    return 1;
  }
  return errors.COMError(5) == -2147221499 ? 0 : 1;
}
