#include "platform/files/whole_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/file_error.hpp"
#include "platform/files/regular_file.hpp"

namespace orvex::files {

void ReadToEnd(int fd, std::string& bytes, const std::string& path, const std::string& source) {
  struct stat info {};
  size_t expected = ::fstat(fd, &info) == 0 && info.st_size > 0 ? info.st_size : 0;
  bytes.clear();
  // One byte more than the size: a file that grew meanwhile is read on, not cut off.
  bytes.resize(expected + 1);
  size_t done = 0;
  for (;;) {
    if (done == bytes.size()) bytes.resize(bytes.size() * 2);
    ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw ErrorFromErrno(errno, path, source);
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  bytes.resize(done);
}

std::string ReadWholeFile(const std::string& path, const std::string& source) {
  FileDescriptor file = OpenRegularFile(path, O_RDONLY, source);
  std::string bytes;
  ReadToEnd(file.get(), bytes, path, source);
  return bytes;
}

}  // namespace orvex::files
