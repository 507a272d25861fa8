// The text log file of the event and transaction loggers: ASCII, appended to, opened for one
// record and closed right after it, so that another process may read or rotate it between
// records.
#pragma once

#include <memory>
#include <string>

#include "platform/scripting/file_system.hpp"

namespace orvex::logging {

// Opens path for appending in ASCII, creating the file when it is missing. Raises on failure.
std::shared_ptr<scripting::TextStream> OpenRecordFile(const std::string& path);
// Writes the record line and an empty line (each ending in CR LF), then closes the stream.
void WriteRecord(scripting::TextStream& stream, const std::string& line);
// pLogFile: creates the file empty (ASCII) when it does not exist; an existing file is kept.
void CreateRecordFileIfMissing(const std::string& path);

}  // namespace orvex::logging
