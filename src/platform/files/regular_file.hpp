// Opening a path as a regular file, never waiting on a pipe or a device, and following the
// symbolic links of a path to the file they name.
#pragma once

#include <string>

namespace orvex::files {

// A file descriptor that closes itself.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  ~FileDescriptor() { Reset(); }
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  int get() const { return fd_; }
  int Release() noexcept {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void Reset(int fd = -1) noexcept;

 private:
  int fd_;
};

// Opens path with flags (O_CLOEXEC is added; O_CREAT creates it 0666 less the umask) when it
// names a regular file. A pipe, device or socket is refused with error 75 without blocking on
// it, a folder with error 70; an OS failure raises ErrorFromErrno's error naming source.
FileDescriptor OpenRegularFile(const std::string& path, int flags, const std::string& source);

// The path with its symbolic links followed (relative links against the link's own folder),
// also when the last one names a file that does not exist yet; the path itself when it is no
// link. A loop of links raises error 76.
std::string FollowLinks(const std::string& path, const std::string& source);

}  // namespace orvex::files
