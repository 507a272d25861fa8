#include "platform/scripting/atomic_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <utility>

#include "platform/scripting/file_io.hpp"

namespace orvex::scripting {
namespace {

std::string FolderOf(const std::string& path) {
  std::string parent = std::filesystem::path(path).parent_path().string();
  return parent.empty() ? "." : parent;
}

mode_t ModeForNewFile(const std::string& path) {
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;  // the rename is done; a folder we cannot open cannot be flushed either
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

AtomicFile::AtomicFile(std::string path, std::string source)
    : path_(std::move(path)), source_(std::move(source)) {
  std::string pattern = path_ + ".tmp-XXXXXX";
  fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) throw ErrorFromErrno(errno, path_, source_);
  tempPath_ = pattern;
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Write(std::string_view bytes) {
  try {
    WriteAll(fd_, bytes, source_);
  } catch (...) {
    Discard();
    throw;
  }
}

void AtomicFile::Commit() {
  auto fail = [this](int errnoValue) {
    Discard();
    throw ErrorFromErrno(errnoValue, path_, source_);
  };
  if (fd_ < 0) fail(EBADF);
  if (::fchmod(fd_, ModeForNewFile(path_)) != 0) fail(errno);
  if (::fsync(fd_) != 0) fail(errno);
  int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) fail(errno);
  if (::rename(tempPath_.c_str(), path_.c_str()) != 0) fail(errno);
  tempPath_.clear();
  SyncFolder(FolderOf(path_));
}

void AtomicFile::Discard() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
  tempPath_.clear();
}

void WriteFileAtomically(const std::string& path, std::string_view contents,
                         const std::string& source) {
  AtomicFile file(path, source);
  file.Write(contents);
  file.Commit();
}

}  // namespace orvex::scripting
