// The text log file of the event and transaction loggers: ASCII, appended to one whole record at
// a time under the file's lock, and opened for each record, so that other processes share it
// and logrotate may rename or truncate it between records.
#pragma once

#include <string>

#include "platform/files/append_file.hpp"

namespace orvex::logging {

// Opens path for appending, creating the file when it is missing. Raises on failure.
files::AppendFile OpenRecordFile(const std::string& path);
// Appends the record line and an empty line (each ending in CR LF) in one write.
void WriteRecord(files::AppendFile& file, const std::string& line);
// pLogFile: creates the file empty (ASCII) when it does not exist; an existing file is kept.
void CreateRecordFileIfMissing(const std::string& path);

}  // namespace orvex::logging
