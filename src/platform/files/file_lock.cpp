#include "platform/files/file_lock.hpp"

#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/files/file_error.hpp"

namespace orvex::files {

void LockExclusive(int fd, const std::string& path, const std::string& source) {
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) throw ErrorFromErrno(errno, path, source);
  }
}

void Unlock(int fd) { ::flock(fd, LOCK_UN); }

bool PathNamesFile(const std::string& path, int fd, struct stat* open) {
  struct stat named {
  }, own{};
  if (open == nullptr) open = &own;
  return ::stat(path.c_str(), &named) == 0 && ::fstat(fd, open) == 0 &&
         named.st_dev == open->st_dev && named.st_ino == open->st_ino;
}

FileDescriptor OpenLocked(const std::string& path, int flags, const std::string& source) {
  for (;;) {
    FileDescriptor file = OpenRegularFile(path, flags, source);
    LockExclusive(file.get(), path, source);
    if (PathNamesFile(path, file.get())) return file;
  }
}

}  // namespace orvex::files
