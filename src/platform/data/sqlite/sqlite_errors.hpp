// SQLite result codes as automation errors with OLE DB-style numbers.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3;

namespace orvex::data::internal::sqlite {

inline constexpr const char* kProviderName = "SQLite";

// The number for a result code and message: rejected statement 0x80040E14, missing table
// 0x80040E37, read-only database 0x80004005, constraint 0x80040E2F, busy 0x80040E31 ...
int32_t MapResultCode(int resultCode, const std::string& message);

// True for failures after which the session should not be reused.
bool IsSessionFatal(int resultCode);

// Raises the mapped error with SQLite's message as description and "SQLite" as source.
[[noreturn]] void RaiseResult(int resultCode, const std::string& message);
[[noreturn]] void RaiseLastError(sqlite3* db, int resultCode);

}  // namespace orvex::data::internal::sqlite
