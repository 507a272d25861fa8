#include "orvex/gerrors.hpp"

#include "orvex/modules.hpp"

namespace orvex {

GErrors::GErrors() { MMain::EnsureMain(); }

std::string GErrors::SetErrSource(const std::string& modName, const std::string& procName) {
  return MErrors::BuildErrSource(modName, procName, "");
}

int32_t GErrors::COMError(int32_t e) { return MErrors::COMError(e); }

}  // namespace orvex
