#include "platform/data/postgres/postgres_settings.hpp"

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>

namespace orvex::data::internal::postgres {

namespace {

constexpr const char* kZoneFolder = "/usr/share/zoneinfo/";
constexpr const char* kDefaultConnectTimeout = "10";

// A server option value with blanks and backslashes escaped, as libpq's "options" wants them.
std::string EscapeOptionValue(const std::string& value) {
  std::string escaped;
  for (char c : value) {
    if (c == ' ' || c == '\\') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string ZoneFromPath(const std::string& path) {
  size_t at = path.find("zoneinfo/");
  return at == std::string::npos ? "" : path.substr(at + 9);
}

bool IsKnownZone(const std::string& zone) {
  if (zone.empty() || zone.find("..") != std::string::npos) return false;
  std::error_code ignored;
  return std::filesystem::is_regular_file(kZoneFolder + zone, ignored);
}

std::string FirstOf(const ConnectionString& settings, std::initializer_list<const char*> keys) {
  for (const char* key : keys)
    if (auto value = settings.Get(key)) return *value;
  return "";
}

void Add(ConnectParameters& parameters, const std::string& keyword, const std::string& value) {
  if (value.empty()) return;
  parameters.keywords.push_back(keyword);
  parameters.values.push_back(value);
}

std::string ServerOptions(const ConnectionString& settings) {
  std::string options = "-c DateStyle=ISO,YMD -c lc_monetary=C -c bytea_output=hex";
  // A statement waits a bounded time for a lock, as on SQLite; 0 on the server would mean for
  // ever, so "no wait" becomes the shortest wait it takes.
  int32_t lockTimeout = settings.LockTimeoutMilliseconds();
  options += " -c lock_timeout=" + std::to_string(lockTimeout == 0 ? 1 : lockTimeout);
  std::string zone = LocalTimeZoneName();
  if (!zone.empty()) options += " -c TimeZone=" + EscapeOptionValue(zone);
  std::string searchPath = FirstOf(settings, {"search path"});
  if (!searchPath.empty()) options += " -c search_path=" + EscapeOptionValue(searchPath);
  std::string extra = FirstOf(settings, {"options"});
  if (!extra.empty()) options += " " + extra;
  return options;
}

}  // namespace

std::string LocalTimeZoneName() {
  const char* tz = std::getenv("TZ");
  if (tz != nullptr && *tz != '\0') {
    std::string zone = tz[0] == ':' ? tz + 1 : tz;
    if (!zone.empty() && zone[0] == '/') zone = ZoneFromPath(zone);
    return IsKnownZone(zone) ? zone : "";
  }
  std::array<char, 512> target{};
  ssize_t length = readlink("/etc/localtime", target.data(), target.size() - 1);
  if (length <= 0) return "";
  std::string zone = ZoneFromPath(std::string(target.data(), length));
  return IsKnownZone(zone) ? zone : "";
}

ConnectParameters ToConnectParameters(const ConnectionString& settings) {
  ConnectParameters parameters;
  std::string uri = FirstOf(settings, {"uri"});
  if (!uri.empty()) {
    // The URI comes first so that the keywords below complete it without overriding it.
    Add(parameters, "dbname", uri);
    parameters.expandDatabase = true;
  } else {
    Add(parameters, "host", FirstOf(settings, {"host", "server"}));
    Add(parameters, "port", FirstOf(settings, {"port"}));
    Add(parameters, "dbname", FirstOf(settings, {"database", "initial catalog", "dbname"}));
    Add(parameters, "user", FirstOf(settings, {"user id", "uid", "user", "username"}));
    // Without a password here libpq takes PGPASSWORD, then the password file (PGPASSFILE or
    // ~/.pgpass, or "Password File"): a password need not stand in the connection string.
    Add(parameters, "password", FirstOf(settings, {"password", "pwd"}));
    Add(parameters, "passfile", FirstOf(settings, {"password file", "passfile"}));
    Add(parameters, "sslmode", FirstOf(settings, {"ssl mode", "sslmode"}));
  }
  std::string timeout = FirstOf(settings, {"connect timeout", "timeout"});
  Add(parameters, "connect_timeout", timeout.empty() ? kDefaultConnectTimeout : timeout);
  Add(parameters, "application_name", FirstOf(settings, {"application name"}));
  Add(parameters, "fallback_application_name", "orvex");
  Add(parameters, "client_encoding", "UTF8");
  Add(parameters, "options", ServerOptions(settings));
  return parameters;
}

}  // namespace orvex::data::internal::postgres
