#include "platform/scripting/file_system.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "orvex/automation_error.hpp"
#include "platform/files/append_file.hpp"
#include "platform/files/file_error.hpp"
#include "platform/files/file_write.hpp"
#include "platform/files/regular_file.hpp"

namespace orvex::scripting {
namespace {

constexpr std::string_view kUnicodeMark("\xFF\xFE", 2);

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
  try {
    files::FileDescriptor file = files::OpenRegularFile(path, O_RDONLY, kScriptingSource);
    unsigned char mark[2] = {0, 0};
    return ::read(file.get(), mark, 2) == 2 && mark[0] == 0xFF && mark[1] == 0xFE;
  } catch (const AutomationError&) {
    return false;  // the open that follows reports it
  }
}

int OpenOrRaise(const std::string& path, int flags) {
  return files::OpenRegularFile(path, flags, kScriptingSource).Release();
}

// A new stream on fd; a Unicode stream that starts an empty file writes its byte-order mark.
std::shared_ptr<TextStream> StreamOn(int fd, int32_t ioMode, bool unicode,
                                     const std::string& path) {
  if (ioMode == ForAppending) {
    // Each write appends a whole record to whatever file the path names then; the byte-order
    // mark goes in, under the file's lock, only while the file is empty.
    ::close(fd);
    auto appender = std::make_unique<files::AppendFile>(path, kScriptingSource);
    if (unicode) appender->Open(kUnicodeMark);
    return std::make_shared<TextStream>(std::move(appender), unicode, path);
  }
  auto stream = std::make_shared<TextStream>(fd, ioMode, unicode, path);
  if (unicode && ioMode != ForReading && IsEmptyFile(fd)) {
    files::WriteAll(fd, kUnicodeMark, kScriptingSource);
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
  if (::lstat(path.c_str(), &info) != 0) throw files::ErrorFromErrno(errno, path, kScriptingSource);
  if (S_ISDIR(info.st_mode)) throw files::ErrorFromErrno(ENOENT, path, kScriptingSource);
  bool readOnly = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  if (readOnly && !force) throw files::ErrorFromErrno(EACCES, path, kScriptingSource);
  if (::unlink(path.c_str()) != 0) throw files::ErrorFromErrno(errno, path, kScriptingSource);
}

}  // namespace orvex::scripting
