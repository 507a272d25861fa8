// Connection strings as the tool's commands pass them on: a command opens a SQLite database that
// already exists, and one that only reads opens it read-only, so that a mistyped path is reported
// instead of leaving an empty database file behind.
#pragma once

#include <string>

namespace orvex::cli {

enum class DatabaseUse { Read, Write };

// The connection string with SQLite's open mode added (Mode=ReadOnly or Mode=ReadWrite; neither
// creates a file). A URI (postgresql://...) is returned as given; other providers ignore the key.
std::string ExistingDatabase(const std::string& connectionString, DatabaseUse use);

}  // namespace orvex::cli
