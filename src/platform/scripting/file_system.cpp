#include "platform/scripting/file_system.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "orvex/automation_error.hpp"
#include "platform/scripting/file_io.hpp"

namespace orvex::scripting {
namespace {

int OpenFlags(int32_t ioMode, bool create) {
  int flags = O_CLOEXEC;
  if (ioMode == ForReading) flags |= O_RDONLY;
  if (ioMode == ForWriting) flags |= O_WRONLY | O_TRUNC;
  if (ioMode == ForAppending) flags |= O_WRONLY | O_APPEND;
  if (create) flags |= O_CREAT;
  return flags;
}

bool IsEmptyFile(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && info.st_size == 0;
}

bool StartsWithUnicodeMark(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  unsigned char mark[2] = {0, 0};
  ssize_t read = ::read(fd, mark, 2);
  ::close(fd);
  return read == 2 && mark[0] == 0xFF && mark[1] == 0xFE;
}

int OpenOrRaise(const std::string& path, int flags) {
  int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) throw ErrorFromErrno(errno, path, kScriptingSource);
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    throw ErrorFromErrno(EISDIR, path, kScriptingSource);
  }
  return fd;
}

// A new stream on fd; a Unicode stream that starts an empty file writes its byte-order mark.
std::shared_ptr<TextStream> StreamOn(int fd, int32_t ioMode, bool unicode,
                                     const std::string& path) {
  auto stream = std::make_shared<TextStream>(fd, ioMode, unicode, path);
  if (unicode && ioMode != ForReading && IsEmptyFile(fd)) {
    WriteAll(fd, "\xFF\xFE", kScriptingSource);
  }
  return stream;
}

}  // namespace

bool FileSystem::FileExists(const std::string& path) const {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::shared_ptr<TextStream> FileSystem::CreateTextFile(const std::string& path, bool overwrite,
                                                       bool unicode) const {
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (overwrite ? O_TRUNC : O_EXCL);
  return StreamOn(OpenOrRaise(path, flags), ForWriting, unicode, path);
}

std::shared_ptr<TextStream> FileSystem::OpenTextFile(const std::string& path, int32_t ioMode,
                                                     bool create, int32_t format) const {
  if (ioMode != ForReading && ioMode != ForWriting && ioMode != ForAppending) {
    Raise(errInvalidProcedureCall, kScriptingSource);
  }
  if (format != TristateFalse && format != TristateTrue && format != TristateUseDefault) {
    Raise(errInvalidProcedureCall, kScriptingSource);
  }
  bool unicode = format == TristateTrue;
  if (ioMode == ForReading && format == TristateUseDefault) unicode = StartsWithUnicodeMark(path);
  return StreamOn(OpenOrRaise(path, OpenFlags(ioMode, create)), ioMode, unicode, path);
}

void FileSystem::DeleteFile(const std::string& path, bool force) const {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) throw ErrorFromErrno(errno, path, kScriptingSource);
  if (S_ISDIR(info.st_mode)) throw ErrorFromErrno(ENOENT, path, kScriptingSource);
  bool readOnly = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  if (readOnly && !force) throw ErrorFromErrno(EACCES, path, kScriptingSource);
  if (::unlink(path.c_str()) != 0) throw ErrorFromErrno(errno, path, kScriptingSource);
}

}  // namespace orvex::scripting
