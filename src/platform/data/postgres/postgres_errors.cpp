#include "platform/data/postgres/postgres_errors.hpp"

#include <libpq-fe.h>

#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"

namespace orvex::data::internal::postgres {

namespace {

// String or binary data would be truncated.
constexpr int32_t kDataOverflow = static_cast<int32_t>(0x80040E57u);

std::string TrimEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

std::string Field(const pg_result* result, int code) {
  const char* value = result != nullptr ? PQresultErrorField(result, code) : nullptr;
  return value != nullptr ? value : "";
}

}  // namespace

int32_t MapSqlState(const std::string& sqlState) {
  if (sqlState.size() != 5) return E_FAIL;
  std::string errorClass = sqlState.substr(0, 2);
  if (sqlState == "42P01") return DB_E_NOTABLE;
  if (errorClass == "42") return DB_E_ERRORSINCOMMAND;
  if (errorClass == "23") return DB_E_INTEGRITYVIOLATION;
  if (sqlState == "22001") return kDataOverflow;
  if (errorClass == "22") return DB_E_CANTCONVERTVALUE;
  if (sqlState == "40001" || sqlState == "40P01" || sqlState == "55P03")
    return DB_E_ABORTLIMITREACHED;
  return E_FAIL;
}

void RaiseProviderError(int32_t number, const std::string& description) {
  throw AutomationError(number, kProviderName, description);
}

void RaiseResultError(pg_conn* conn, const pg_result* result) {
  std::string sqlState = Field(result, PG_DIAG_SQLSTATE);
  std::string message = Field(result, PG_DIAG_MESSAGE_PRIMARY);
  if (message.empty() && result != nullptr) message = TrimEnd(PQresultErrorMessage(result));
  if (message.empty() && conn != nullptr) message = TrimEnd(PQerrorMessage(conn));
  if (message.empty()) message = "The PostgreSQL server did not answer";
  RaiseProviderError(MapSqlState(sqlState), message);
}

void RaiseConnectionError(pg_conn* conn, const std::string& context) {
  std::string message = conn != nullptr ? TrimEnd(PQerrorMessage(conn)) : "";
  if (message.empty()) message = "out of memory making a PostgreSQL connection";
  RaiseProviderError(E_FAIL, context.empty() ? message : context + ": " + message);
}

}  // namespace orvex::data::internal::postgres
