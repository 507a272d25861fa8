// The SQL text that the classes send, in PostgreSQL's dialect.
#pragma once

#include <cstdint>
#include <string>

namespace orvex::data::internal::postgres {

struct TranslatedSql {
  std::string text;
  int32_t parameterCount = 0;
};

// "SELECT TOP n ..." becomes "... LIMIT n" and each "?" marker outside string literals, quoted
// identifiers, dollar quotes and comments becomes $1, $2 ... in order. Text holding no statement
// or more than one is refused with DB_E_ERRORSINCOMMAND: a table name that smuggles in a second
// statement never reaches the server.
TranslatedSql TranslateForPostgres(const std::string& sql);

}  // namespace orvex::data::internal::postgres
