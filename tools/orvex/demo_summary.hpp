// The demo's closing table of what went where, with the records counted from the destinations
// themselves (files read back, tables queried), not from what the demo meant to write.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace orvex::cli::demo {

struct SummaryRow {
  std::string logger;
  std::string destination;
  std::string where;
  int32_t records = 0;
};

void PrintSummary(const std::vector<SummaryRow>& rows, std::ostream& out);

// Lines of a UTF-16LE text log that contain the ASCII marker.
int32_t CountUtf16Lines(const std::string& path, const std::string& marker);
// Non-empty lines of a narrow text log.
int32_t CountTextLines(const std::string& path);
// Elements named element in an XML log, less the root when the root has the same name.
int32_t CountXmlRecords(const std::string& path, const std::string& element, bool rootAlike);
// Rows of a database table.
int32_t CountTableRows(const std::string& connectionString, const std::string& table);

}  // namespace orvex::cli::demo
