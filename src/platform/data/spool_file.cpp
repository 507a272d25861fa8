#include "platform/data/spool_file.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "orvex/automation_error.hpp"

namespace orvex::data::internal {

namespace {

constexpr int32_t kSpoolWriteFault = 75;  // path/file access error

bool SameFile(int fd, const std::string& path) {
  struct stat opened {
  }, named{};
  return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

}  // namespace

SpoolFile::SpoolFile(std::string path, bool create) : path_(std::move(path)) {
  int flags = O_RDWR | O_APPEND | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0);
  // A writer that waited while another process replayed and removed the file locks that file's
  // old copy: it opens the name again until the locked file is the named one.
  for (int attempt = 0; attempt < 100; ++attempt) {
    fd_ = ::open(path_.c_str(), flags, 0600);
    if (fd_ < 0) {
      if (errno == ENOENT && !create) return;
      Fail("cannot be opened");
    }
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      int reason = errno;
      ::close(fd_);
      fd_ = -1;
      errno = reason;
      Fail("cannot be locked");
    }
    if (SameFile(fd_, path_)) return;
    ::close(fd_);
    fd_ = -1;
    if (!create) return;
  }
  Fail("keeps being replaced");
}

SpoolFile::~SpoolFile() {
  if (fd_ >= 0) ::close(fd_);  // closing ends the lock
}

void SpoolFile::AppendThrough(const std::string& bytes) {
  struct stat before {};
  bool first = ::fstat(fd_, &before) == 0 && before.st_size == 0;
  size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // A part written before the failure is cut off again, so that no torn entry stays.
      struct stat info {};
      if (written > 0 && ::fstat(fd_, &info) == 0)
        (void)!::ftruncate(fd_, info.st_size - static_cast<off_t>(written));
      Fail("cannot be written");
    }
    written += static_cast<size_t>(n);
  }
  if (::fdatasync(fd_) != 0) Fail("cannot be flushed to disk");
  if (first) {
    // The folder's entry for a new file is flushed too, or a crash could lose the whole file.
    std::string folder = path_.substr(0, path_.find_last_of('/') + 1);
    int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
  }
}

std::string SpoolFile::ReadAll() {
  std::string content;
  char buffer[65536];
  off_t offset = 0;
  for (;;) {
    ssize_t n = ::pread(fd_, buffer, sizeof buffer, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("cannot be read");
    if (n == 0) return content;
    content.append(buffer, static_cast<size_t>(n));
    offset += n;
  }
}

void SpoolFile::Remove() {
  if (::unlink(path_.c_str()) != 0 && errno != ENOENT) Fail("cannot be removed");
}

void SpoolFile::MoveTo(const std::string& newPath) {
  if (::rename(path_.c_str(), newPath.c_str()) != 0) Fail("cannot be renamed");
}

void SpoolFile::Fail(const std::string& what) const {
  throw AutomationError(kSpoolWriteFault, "ORVEX.Spool",
                        "The spool file " + path_ + " " + what + ": " + std::strerror(errno));
}

std::vector<std::string> SpoolFilesIn(const std::string& folder, const std::string& prefix,
                                      const std::string& suffix) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name.size() >= prefix.size() + suffix.size() && name.rfind(prefix, 0) == 0 &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
      names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace orvex::data::internal
