// An open file descriptor that is closed when its owner ends.
#pragma once

#include <unistd.h>

namespace orvex::scripting {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  // The descriptor; negative when the open it came from failed.
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace orvex::scripting
