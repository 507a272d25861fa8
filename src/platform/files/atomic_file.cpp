#include "platform/files/atomic_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <utility>

#include "platform/files/file_error.hpp"
#include "platform/files/file_write.hpp"

namespace orvex::files {
namespace {

constexpr int kNameAttempts = 100;

// Six random letters and digits for the temporary file's name.
std::string RandomSuffix() {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937_64 random(std::random_device{}() ^
                                      (static_cast<uint64_t>(::getpid()) << 32));
  std::string suffix(6, 'x');
  for (char& c : suffix) c = kLetters[random() % (sizeof kLetters - 1)];
  return suffix;
}

}  // namespace

void SyncFolderOf(const std::string& path) {
  std::string folder = std::filesystem::path(path).parent_path().string();
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

AtomicFile::AtomicFile(const std::string& path, std::string source)
    : target_(FollowLinks(path, source)), source_(std::move(source)) {
  IgnoreFileSizeSignal();
  struct stat existing {};
  if (::stat(target_.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
    throw NotARegularFile(path, source_);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string candidate = target_ + ".tmp-" + RandomSuffix();
    // The kernel applies the umask (and a folder's default ACL) to 0666 itself.
    int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0) {
      file_.Reset(fd);
      tempPath_ = std::move(candidate);
      return;
    }
    if (errno != EEXIST && errno != EINTR) throw ErrorFromErrno(errno, target_, source_);
  }
  throw ErrorFromErrno(EEXIST, target_, source_);
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Write(std::string_view bytes) {
  try {
    WriteAll(file_.get(), bytes, source_);
  } catch (...) {
    Discard();
    throw;
  }
}

void AtomicFile::Commit() {
  auto fail = [this](int errnoValue) {
    Discard();
    throw ErrorFromErrno(errnoValue, target_, source_);
  };
  if (file_.get() < 0) fail(EBADF);
  struct stat existing {};
  if (::stat(target_.c_str(), &existing) == 0 && ::fchmod(file_.get(), existing.st_mode & 07777))
    fail(errno);
  if (::fsync(file_.get()) != 0) fail(errno);
  if (::close(file_.Release()) != 0) fail(errno);
  if (::rename(tempPath_.c_str(), target_.c_str()) != 0) fail(errno);
  tempPath_.clear();
  SyncFolderOf(target_);
}

void AtomicFile::Discard() noexcept {
  file_.Reset();
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
  tempPath_.clear();
}

void WriteFileAtomically(const std::string& path, std::string_view contents,
                         const std::string& source) {
  AtomicFile file(path, source);
  file.Write(contents);
  file.Commit();
}

}  // namespace orvex::files
