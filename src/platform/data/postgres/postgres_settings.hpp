// The library's connection string as libpq connection parameters.
#pragma once

#include <string>
#include <vector>

#include "platform/data/connection_string.hpp"

namespace orvex::data::internal::postgres {

struct ConnectParameters {
  std::vector<std::string> keywords;
  std::vector<std::string> values;
  bool expandDatabase = false;  // the "dbname" value is a postgresql:// URI
};

// Keys (any case): Host or Server (a name, an address or a Unix socket folder), Port, Database
// or Initial Catalog, User ID (or UID, User), Password (or PWD), Search Path, Application Name,
// Connect Timeout (seconds, default 10), SSL Mode, Options (passed to the server as they are);
// or Uri, the whole postgresql:// URI. Every session talks UTF-8, reads dates in ISO order and
// the process's local time zone, so that dates and texts travel unchanged both ways.
ConnectParameters ToConnectParameters(const ConnectionString& settings);

// The process's local time zone as a zone name the server knows ("Europe/Paris"), or "" when it
// cannot be told (the server's own zone then applies).
std::string LocalTimeZoneName();

}  // namespace orvex::data::internal::postgres
