#include "platform/files/regular_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/files/file_error.hpp"

namespace orvex::files {
namespace {

// The kernel's own limit on links followed in one lookup.
constexpr int kMaxLinks = 40;

}  // namespace

void FileDescriptor::Reset(int fd) noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

FileDescriptor OpenRegularFile(const std::string& path, int flags, const std::string& source) {
  // O_NONBLOCK: opening a FIFO without a writer would otherwise wait for one forever.
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0 && errno == ENXIO) throw NotARegularFile(path, source);  // a FIFO with no reader
  if (fd < 0) throw ErrorFromErrno(errno, path, source);
  FileDescriptor file(fd);
  struct stat info {};
  if (::fstat(fd, &info) != 0) throw ErrorFromErrno(errno, path, source);
  if (S_ISDIR(info.st_mode)) throw ErrorFromErrno(EISDIR, path, source);
  if (!S_ISREG(info.st_mode)) throw NotARegularFile(path, source);
  if ((flags & O_NONBLOCK) == 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return file;
}

std::string FollowLinks(const std::string& path, const std::string& source) {
  std::filesystem::path current(path);
  for (int followed = 0; followed <= kMaxLinks; ++followed) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current.string();
    std::string target(static_cast<size_t>(info.st_size > 0 ? info.st_size : 256) + 1, '\0');
    ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
    if (length < 0) throw ErrorFromErrno(errno, path, source);
    target.resize(static_cast<size_t>(length));
    std::filesystem::path next(target);
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  throw ErrorFromErrno(ELOOP, path, source);
}

}  // namespace orvex::files
