// Statement rewriting and the checks on what callers pass, on arbitrary text: the rewriting
// either gives a statement or raises the library's error, in one pass (a megabyte of text runs
// in the fuzzer's default stack); a name that passes the check stays one name when quoted; a
// redacted text holds no password value that a "Password=" piece gave.
#include <cstddef>
#include <cstdint>
#include <string>

#include "orvex/automation_error.hpp"
#include "platform/data/postgres/postgres_sql.hpp"
#include "platform/data/secret_redaction.hpp"
#include "platform/data/sql_dialect.hpp"
#include "platform/data/sql_names.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvex::data::internal;
  const std::string text(reinterpret_cast<const char*>(data), size);
  (void)TranslateTopToLimit(text);
  (void)IsOnlyBlankOrComments(text);
  try {
    postgres::TranslatedSql translated = postgres::TranslateForPostgres(text);
    if (translated.parameterCount < 0) __builtin_trap();
  } catch (const orvex::AutomationError&) {
  }
  if (IsSqlName(text)) {
    // Outside its double quotes a name holds no character that could end it or start more.
    bool quoted = false;
    for (char c : text) {
      if (c == '"') quoted = !quoted;
      if (c == '\0' ||
          (!quoted && (c == ';' || c == '\'' || c == '(' || c == ' ' || c == '-' || c == '/')))
        __builtin_trap();
    }
    if (quoted) __builtin_trap();
  }
  std::string value;
  for (char c : text)
    if (c != ';' && c != '\r' && c != '\n' && c != ' ' && c != '\t' && c != '"' && c != '\'')
      value += c;
  if (RedactSecrets("Password=" + value) != "Password=***") __builtin_trap();
  if (HoldsSecrets(text) != (RedactSecrets(text) != text) && text.find("***") == std::string::npos)
    __builtin_trap();
  return 0;
}
