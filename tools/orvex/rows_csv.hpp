// Saved-rows files made from a query or from CSV records, and written out as CSV.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "csv.hpp"

namespace orvex::cli {

// Opens the query on the connection string and saves its rows; returns their number.
int32_t SaveQueryRows(const std::string& connectionString, const std::string& query,
                      const std::string& rowsFile);

// Writes the header line and every row of the file; returns the number of rows. Null is an empty
// field, dates read yyyy-mm-dd hh:nn:ss and numbers use "." whatever the user's locale.
int32_t WriteRowsAsCsv(const std::string& rowsFile, std::ostream& out);

// Saves records (the first naming the columns) as a saved-rows file with a text column each;
// returns the number of rows. Blank lines are skipped; a record with another number of fields
// than the header, an empty or repeated column name is refused.
int32_t SaveCsvAsRows(const std::vector<CsvRecord>& records, const std::string& rowsFile);

}  // namespace orvex::cli
