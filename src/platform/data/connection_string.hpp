// Parsing of connection strings: key=value pairs separated by ";", keys case-insensitive,
// values optionally quoted with " or ' (a doubled quote inside stands for one).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace orvex::data::internal {

class ConnectionString {
 public:
  // Raises adErrInvalidArgument (source "ORVEX.Data.Connection") for a pair without "=",
  // an empty key or an unterminated quote.
  static ConnectionString Parse(const std::string& text);

  // Value of the key (any case), or nullopt.
  std::optional<std::string> Get(const std::string& key) const;
  std::string GetOr(const std::string& key, const std::string& fallback) const;
  bool Has(const std::string& key) const { return Get(key).has_value(); }

  // The provider named by the string; "SQLite" when it names none.
  std::string ProviderName() const;

  // Keys lower-cased, in key order: equal strings written differently share a pool entry.
  std::string Normalized() const;

  // "Lock Timeout": how long, in milliseconds, a statement waits for a lock that another session
  // holds before it fails (default 5000). Raises adErrInvalidArgument when the value is not a
  // whole number from 0 to 2147483647.
  int32_t LockTimeoutMilliseconds() const;

  // Sets or replaces a key (for the user and password arguments of Open).
  void Set(const std::string& key, const std::string& value);

 private:
  std::map<std::string, std::string> values_;  // lower-case key -> value
};

}  // namespace orvex::data::internal
