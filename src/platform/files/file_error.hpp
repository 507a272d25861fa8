// The runtime's error for a failed file operation: the one mapping of OS error values to error
// numbers for every part of the library that works on files.
#pragma once

#include <cstdint>
#include <string>

#include "orvex/automation_error.hpp"

namespace orvex::files {

// The runtime's "Device I/O error", for OS failures without a closer number.
inline constexpr int32_t kDeviceIOError = 57;
// The runtime's "Path/File access error": a path that names something other than a file.
inline constexpr int32_t kPathFileAccessError = 75;

// The runtime's error for an errno value met while working on path: 53 file not found (the
// folder exists), 76 path not found, 70 permission denied, 61 disk full (also a file-size
// limit), 58 file already exists, 57 device I/O error for everything else. The description
// names the path.
AutomationError ErrorFromErrno(int errnoValue, const std::string& path, const std::string& source);

// Error 75 for a path that names a folder, a pipe, a device or a socket instead of a file.
AutomationError NotARegularFile(const std::string& path, const std::string& source);

}  // namespace orvex::files
