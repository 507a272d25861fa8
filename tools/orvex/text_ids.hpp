// Every ID of a text table, for "orvex text get --all".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvex::cli {

// The IDs of the database table, in ascending order. The table name must be a plain identifier
// (letters, digits, '_'); anything else is refused before it reaches SQL.
std::vector<int32_t> TableIds(const std::string& connectionString, const std::string& table);

// The IDs of a saved-rows file's rows, in file order; rows without an ID are left out.
std::vector<int32_t> RowsFileIds(const std::string& rowsFile);

}  // namespace orvex::cli
