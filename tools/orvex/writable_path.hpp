// Checks made before a log file is handed to a logger: the loggers report a file they cannot
// open only as a failed destination, without saying why.
#pragma once

#include <string>

namespace orvex::cli {

// Raises, naming the option and the path, when the file cannot be written: its folder does not
// exist or may not be written, or the path is a folder or a file that may not be written.
void RequireWritableFile(const std::string& command, const std::string& option,
                         const std::string& path);

}  // namespace orvex::cli
