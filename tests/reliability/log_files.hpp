// Reading back what the error logger left on disk, without the library's own readers where the
// point is to check them: the UTF-16LE text log, and SQLite rows (the XML log's records: support/xml_records.hpp).
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace orvex::reliability {

// The text log decoded from UTF-16LE (the byte-order mark dropped) and split at CR LF. The last
// element is whatever follows the last CR LF: "" when the file ends with a complete line.
// oddByte is set when the file ends in half a UTF-16 unit.
struct TextLog {
  std::vector<std::string> lines;
  bool hasByteOrderMark = false;
  bool oddByte = false;
};
TextLog ReadUtf16Log(const std::string& path);

// Runs one statement on a SQLite file with the sqlite3 API itself (no library session pool, so
// nothing is shared with a forked child).
void ExecSqlite(const std::string& path, const std::string& sql);
// The first column of every row of the query, as text.
std::vector<std::string> QuerySqliteTexts(const std::string& path, const std::string& sql);


}  // namespace orvex::reliability
