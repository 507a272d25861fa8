// Reading a file whole, for the services that take a document given by its path.
#pragma once

#include <string>

namespace orvex::scripting {

// The bytes of the regular file at path. A path that names no regular file (a folder, a pipe, a
// device) is refused at once rather than read or waited on: error 53 (file not found) naming
// it; the errors of ErrorFromErrno when it cannot be opened or read. source names the caller.
std::string ReadRegularFile(const std::string& path, const std::string& source);

}  // namespace orvex::scripting
