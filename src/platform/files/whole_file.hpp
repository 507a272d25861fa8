// Reading a file as a whole: the one way the library loads a document, a glossary or a
// saved-rows file into memory.
#pragma once

#include <string>

namespace orvex::files {

// The whole content of the regular file at path. A pipe, device or folder is refused with
// error 75 (never read until it ends, nor waited on); an OS failure raises ErrorFromErrno's
// error naming source.
std::string ReadWholeFile(const std::string& path, const std::string& source);

// Reads from fd, from its current offset to its end, into bytes (replacing them).
void ReadToEnd(int fd, std::string& bytes, const std::string& path, const std::string& source);

}  // namespace orvex::files
