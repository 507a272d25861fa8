#include "platform/files/append_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/files/file_error.hpp"
#include "platform/files/file_lock.hpp"
#include "platform/files/file_write.hpp"

namespace orvex::files {

AppendFile::AppendFile(std::string path, std::string source)
    : path_(std::move(path)), source_(std::move(source)) {}

void AppendFile::EnsureOpen() {
  if (file_.get() < 0) file_ = OpenRegularFile(path_, O_WRONLY | O_APPEND | O_CREAT, source_);
}

void AppendFile::Open(std::string_view header) { Append({}, header); }

void AppendFile::Append(std::string_view record, std::string_view header, bool flush) {
  IgnoreFileSizeSignal();
  EnsureOpen();
  LockExclusive(file_.get(), path_, source_);
  // Rotated since the last record (renamed away, removed or replaced), also between the open and
  // the lock: the record goes to the file the path names now. The size is the open file's, read
  // under the lock, so a file cut short by a rotation is seen as it is.
  struct stat info {};
  while (!PathNamesFile(path_, file_.get(), &info)) {
    Unlock(file_.get());
    file_ = OpenRegularFile(path_, O_WRONLY | O_APPEND | O_CREAT, source_);
    LockExclusive(file_.get(), path_, source_);
  }
  const int fd = file_.get();
  std::string_view bytes = record;
  if (info.st_size == 0 && !header.empty()) {
    joined_.assign(header);
    joined_.append(record);
    bytes = joined_;
  }
  try {
    if (!bytes.empty()) WriteAll(fd, bytes, source_);
    if (flush && ::fdatasync(fd) != 0) throw ErrorFromErrno(errno, path_, source_);
  } catch (...) {
    // Whole records or none: what the failed write left is cut off again. (Should even that
    // fail, the next record still starts after the torn one; nothing more can be done here.)
    [[maybe_unused]] int cut = ::ftruncate(fd, info.st_size);
    Unlock(fd);
    throw;
  }
  Unlock(fd);
}

void AppendToFile(const std::string& path, std::string_view record, const std::string& source,
                  std::string_view header, bool flush) {
  AppendFile file(path, source);
  file.Append(record, header, flush);
}

}  // namespace orvex::files
