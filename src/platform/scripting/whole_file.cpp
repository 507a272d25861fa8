#include "platform/scripting/whole_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/scripting/file_descriptor.hpp"
#include "platform/scripting/file_io.hpp"

namespace orvex::scripting {

std::string ReadRegularFile(const std::string& path, const std::string& source) {
  // Opened without waiting: a pipe with no writer must not hold the caller.
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (file.get() < 0) throw ErrorFromErrno(errno, path, source);
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) throw ErrorFromErrno(errno, path, source);
  if (!S_ISREG(info.st_mode))
    Raise(errFileNotFound, source, "'" + path + "' is not a regular file");
  std::string bytes;
  bytes.reserve(static_cast<size_t>(info.st_size));
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw ErrorFromErrno(errno, path, source);
    if (got == 0) return bytes;
    bytes.append(buffer, static_cast<size_t>(got));
  }
}

}  // namespace orvex::scripting
