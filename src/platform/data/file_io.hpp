// File reading and atomic replacement for saved-rows files. Every write goes through one
// helper, so that tests can make a chosen write fail and see that the old file survives.
#pragma once

#include <string>

namespace orvex::data::internal {

// The whole content of the file; adErrOpeningFile (source ORVEX.Data.Recordset) when it cannot
// be opened or read.
std::string ReadWholeFile(const std::string& path);

// Replaces the file with `bytes`: writes a temporary file in the same folder, flushes it to
// disk, renames it over the target and flushes the folder. On failure the temporary file is
// removed, the target is untouched, and adErrWriteFault (or adErrOpeningFile when the temporary
// file cannot be created) is raised.
void WriteFileAtomically(const std::string& path, const std::string& bytes);

// Size of the pieces in which WriteFileAtomically writes.
inline constexpr size_t kWriteChunkSize = 64 * 1024;

// Fault injection for tests, per thread: the n-th write (1-based, counted from this call) fails
// as if the disk were full; 0 switches the fault off.
void FailNthFileWrite(int n);

}  // namespace orvex::data::internal
