// Public enumerations and records of the ORVEX type library.
#pragma once

#include <cstdint>
#include <string>
#include "orvex/export.h"

ORVEX_PUBLIC_BEGIN

namespace orvex {

// Destinations of a log record, combined as a flag word.
enum ELogType : int32_t {
  ltRAISEEVENT = 1,
  ltRAISEERROR = 2,
  ltFILE = 4,
  ltEVENTLOG = 8,
  ltMSGBOX = 16,
  ltDB = 32,
  ltEMAIL = 64,
  ltFORMATERROR = 65,  // the bits of ltEMAIL and ltRAISEEVENT together, not a bit of its own
  ltMSG_ONLY = 128,
  ltXML = 256,
};

// Result word of CLogError::LogError: message-box answers, destination failure flags and the
// class of the error. Declared in the type library's order, which is not the order of values.
enum ETWErrorLogResult : int32_t {
  etwelrABORT = 3,
  etwelrRETRY = 4,
  etwelrCANCEL = 2,
  etwelrIGNORE = 5,
  etwelrOK = 1,
  etwelrYES = 6,
  etwelrNO = 7,
  etwelrLOGTODB_FAILED = 16,
  etwelrLOGTOFILE_FAILED = 32,
  etwelrLOGTONT_FAILED = 64,
  etwelrLOGTOXML_FAILED = 128,
  etwelrSERROR = static_cast<int32_t>(0xA0000000u),
  etwelrNSERROR = static_cast<int32_t>(0x90000000u),
};

// Class patterns in the high nibble of a component error number.
enum ETWConstants : int32_t {
  etwcNSERRORS = static_cast<int32_t>(0x90000000u),
  etwcSERRORS = static_cast<int32_t>(0xA0000000u),
};

enum EReturnCodes : int32_t {
  rcSUCCESS = 1,
  rcFAIL = 2,
  rcBOF = 3,
  rcEOF = 4,
  rcDLLERROR = 5,
};

enum EMessageType : int32_t {
  mtERROR = 1,
  mtMESSAGE = 2,
  mtGLOSSARY = 3,
};

// The error a client hands to LogError; mirrors the fields of an automation error object.
struct TErrorObject {
  int32_t lNumber = 0;
  std::string strDescription;
  int32_t lHelpContext = 0;
  std::string strHelpFile;
  int32_t lLastDllError = 0;
  std::string strSource;

  friend bool operator==(const TErrorObject&, const TErrorObject&) = default;
};

struct TDllErrorInfo {
  int32_t Number = 0;
  std::string Source;
  std::string Description;

  friend bool operator==(const TDllErrorInfo&, const TDllErrorInfo&) = default;
};

}  // namespace orvex

ORVEX_PUBLIC_END
