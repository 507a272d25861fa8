// Exclusive advisory locks (flock) that several processes, and several objects of one process,
// take around their changes to a shared file.
#pragma once

#include <sys/stat.h>

#include <string>

#include "platform/files/regular_file.hpp"

namespace orvex::files {

// Opens path as OpenRegularFile does and locks the open file exclusively, waiting for other
// holders. When the path names another file once the lock is held (the file was renamed away
// or replaced meanwhile, by a log rotation or another writer's atomic save), it opens and
// locks again, so that on return the path names the locked file. Closing the descriptor
// releases the lock.
FileDescriptor OpenLocked(const std::string& path, int flags, const std::string& source);

// Takes the exclusive lock on fd, waiting for other holders.
void LockExclusive(int fd, const std::string& path, const std::string& source);
// Releases the lock on fd.
void Unlock(int fd);

// True when path still names the file open on fd (same device and inode). The file's own status
// is left in *open when it is asked for.
bool PathNamesFile(const std::string& path, int fd, struct stat* open = nullptr);

}  // namespace orvex::files
