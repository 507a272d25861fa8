// GErrors: lets clients build the library's error-source texts and map their own numbers.
#pragma once

#include <cstdint>
#include <string>

#include "orvex/export.h"
#include "orvex/variant.hpp"

ORVEX_PUBLIC_BEGIN

namespace orvex {

class GErrors : public Object {
 public:
  GErrors();
  // modName + "." + procName + "::@" + computer name.
  std::string SetErrSource(const std::string& modName, const std::string& procName);
  // e OR 0x80040000.
  int32_t COMError(int32_t e);
};

}  // namespace orvex

ORVEX_PUBLIC_END
