// The automation error: the one way every class of the library reports a failure.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include "orvex/export.h"

ORVEX_PUBLIC_BEGIN

namespace orvex {

// Numbers of the automation runtime that the library raises itself.
enum RuntimeError : int32_t {
  errInvalidProcedureCall = 5,
  errOverflow = 6,
  errOutOfMemory = 7,
  errSubscriptOutOfRange = 9,
  errDivisionByZero = 11,
  errTypeMismatch = 13,
  errFileNotFound = 53,
  errBadFileMode = 54,
  errFileAlreadyExists = 58,
  errDiskFull = 61,
  errPermissionDenied = 70,
  errPathNotFound = 76,
  errObjectNotSet = 91,
  errInvalidUseOfNull = 94,
  errObjectRequired = 424,
  errCantCreateObject = 429,
  errNotSupported = 438,
  errKeyExists = 457,
};

// Source given to errors that the library raises without a source of its own.
inline constexpr const char* kDefaultErrorSource = "ORVEX";

class AutomationError : public std::exception {
 public:
  // An empty description takes the runtime's text for the number (see ErrorText).
  explicit AutomationError(int32_t number, std::string source = kDefaultErrorSource,
                           std::string description = "", std::string helpFile = "",
                           int32_t helpContext = 0, int32_t lastDllError = 0);

  const char* what() const noexcept override { return Description.c_str(); }

  int32_t Number;
  std::string Source;
  std::string Description;
  std::string HelpFile;
  int32_t HelpContext;
  int32_t LastDllError;
};

// The runtime's description of an error number; a number without a text of its own gets
// "Application-defined or object-defined error".
std::string ErrorText(int32_t number);

// Raises AutomationError(number, source, description ...).
[[noreturn]] void Raise(int32_t number, std::string source = kDefaultErrorSource,
                        std::string description = "", std::string helpFile = "",
                        int32_t helpContext = 0);

}  // namespace orvex

ORVEX_PUBLIC_END
