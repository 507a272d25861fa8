#include "platform/data/sqlite/sqlite_errors.hpp"

#include <sqlite3.h>

#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"

namespace orvex::data::internal::sqlite {

int32_t MapResultCode(int resultCode, const std::string& message) {
  switch (resultCode & 0xFF) {
    case SQLITE_ERROR:
      if (message.rfind("no such table", 0) == 0) return DB_E_NOTABLE;
      return DB_E_ERRORSINCOMMAND;
    case SQLITE_RANGE:
      return DB_E_ERRORSINCOMMAND;
    case SQLITE_CONSTRAINT:
      return DB_E_INTEGRITYVIOLATION;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return DB_E_ABORTLIMITREACHED;
    case SQLITE_MISMATCH:
      return DB_E_CANTCONVERTVALUE;
    default:  // read-only, cannot open, I/O, corrupt, full ...
      return E_FAIL;
  }
}

bool IsSessionFatal(int resultCode) {
  switch (resultCode & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
      return true;
    default:
      return false;
  }
}

void RaiseResult(int resultCode, const std::string& message) {
  throw AutomationError(MapResultCode(resultCode, message), kProviderName, message);
}

void RaiseLastError(sqlite3* db, int resultCode) {
  std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(resultCode);
  RaiseResult(resultCode, message);
}

}  // namespace orvex::data::internal::sqlite
