#include "platform/data/file_io.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "orvex/data.hpp"
#include "platform/data/errors.hpp"

namespace orvex::data::internal {

namespace {

thread_local int writesUntilFault = 0;

// One write(2), or the injected failure.
ssize_t WriteOnce(int fd, const char* data, size_t size) {
  if (writesUntilFault > 0 && --writesUntilFault == 0) {
    errno = ENOSPC;
    return -1;
  }
  return ::write(fd, data, size);
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    size_t piece = std::min(kWriteChunkSize, bytes.size() - done);
    ssize_t written = WriteOnce(fd, bytes.data() + done, piece);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);  // the rename is durable once the folder is
  ::close(fd);
}

[[noreturn]] void RaiseWriteFailure(const std::string& path, int error) {
  RaiseDataError(
      adErrWriteFault, "Recordset",
      "Saving '" + path + "' failed: " + std::strerror(error) + "; the previous file is unchanged");
}

}  // namespace

void FailNthFileWrite(int n) { writesUntilFault = n; }

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    RaiseDataError(adErrOpeningFile, "Recordset",
                   "File could not be opened: '" + path + "' (" + std::strerror(errno) + ")");
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad())
    RaiseDataError(adErrOpeningFile, "Recordset", "File could not be read: '" + path + "'");
  return content.str();
}

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
  std::filesystem::path target(path);
  std::string pattern = path + ".tmp-XXXXXX";
  int fd = ::mkstemp(pattern.data());
  if (fd < 0)
    RaiseDataError(
        adErrOpeningFile, "Recordset",
        "File could not be created next to '" + path + "' (" + std::strerror(errno) + ")");
  struct stat existing {};
  ::fchmod(fd, ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644);
  bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && ::rename(pattern.c_str(), path.c_str()) != 0) {
    written = false;
    error = errno;
  }
  if (!written) {
    ::unlink(pattern.c_str());
    RaiseWriteFailure(path, error);
  }
  SyncFolder(target.parent_path());
}

}  // namespace orvex::data::internal
