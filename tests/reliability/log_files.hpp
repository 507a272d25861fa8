// Reading back what the loggers left on disk, without the library's own readers where the point
// is to check them: the text logs, and SQLite rows (the XML log's records:
// support/xml_records.hpp).
#pragma once

#include <string>
#include <vector>

namespace orvex::reliability {

// The records of a text log as the loggers write it: each record a line and a blank line, CR LF
// after each; the error logger's (utf16) in UTF-16LE after a byte-order mark, each record's text
// between " {" and the "}" that ends its line. Fails the test on a missing byte-order mark, a
// second one, a torn line or a record without its blank line. A line cut short after the last
// CR LF is left out, or is a failure when the log must be whole.
std::vector<std::string> TextLogRecords(const std::string& path, bool utf16, bool whole = true);

// Runs one statement on a SQLite file with the sqlite3 API itself (no library session pool, so
// nothing is shared with a forked child).
void ExecSqlite(const std::string& path, const std::string& sql);
// The first column of every row of the query, as text.
std::vector<std::string> QuerySqliteTexts(const std::string& path, const std::string& sql);
// The error logger's table.
constexpr const char* kErrorLogTable =
    "CREATE TABLE ErrorLog (lErrorNumber INTEGER, strDescription VARCHAR(255), "
    "strSource VARCHAR(255), dDate DATETIME)";

}  // namespace orvex::reliability
