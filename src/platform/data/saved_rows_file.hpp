// Saved-rows files on the library's file layer, with the data layer's error numbers.
#pragma once

#include <string>

namespace orvex::data::internal {

// The whole content of the file; adErrOpeningFile (source ORVEX.Data.Recordset) when it cannot
// be opened or read, or names no regular file.
std::string ReadWholeFile(const std::string& path);

// Replaces the file with `bytes` atomically (files::AtomicFile: a link is followed and kept, the
// new file is made 0666 less the umask or takes the mode of the one it replaces). On failure
// the target is untouched and adErrWriteFault (adErrOpeningFile when the temporary file cannot
// be created) is raised.
void WriteFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace orvex::data::internal
