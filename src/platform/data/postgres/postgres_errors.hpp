// PostgreSQL failures as automation errors with the same OLE DB-style numbers that the SQLite
// provider gives for the same kind of failure.
#pragma once

#include <cstdint>
#include <string>

struct pg_conn;
struct pg_result;

namespace orvex::data::internal::postgres {

inline constexpr const char* kProviderName = "PostgreSQL";

// The number for a five-character SQLSTATE: syntax and other statement errors (class 42)
// 0x80040E14, undefined table 0x80040E37, constraint (class 23) 0x80040E2F, bad value (class
// 22) 0x80040E07, serialization and lock failures 0x80040E31, everything else (read-only
// transaction, lost connection, server shutting down ...) 0x80004005.
int32_t MapSqlState(const std::string& sqlState);

// Raises the error of a failed result (or, without one, of the connection), with the server's
// message as description and "PostgreSQL" as source.
[[noreturn]] void RaiseResultError(pg_conn* conn, const pg_result* result);
// Raises 0x80004005 with libpq's message for the connection.
[[noreturn]] void RaiseConnectionError(pg_conn* conn, const std::string& context = "");
[[noreturn]] void RaiseProviderError(int32_t number, const std::string& description);

}  // namespace orvex::data::internal::postgres
