#include "platform/files/file_error.hpp"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace orvex::files {
namespace {

bool FolderExists(const std::string& path) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (parent.empty()) return true;
  std::error_code ignored;
  return std::filesystem::is_directory(parent, ignored);
}

}  // namespace

AutomationError ErrorFromErrno(int errnoValue, const std::string& path, const std::string& source) {
  int32_t number = kDeviceIOError;
  switch (errnoValue) {
    case ENOENT:
      number = FolderExists(path) ? errFileNotFound : errPathNotFound;
      break;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      number = errPathNotFound;
      break;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      number = errPermissionDenied;
      break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      number = errDiskFull;
      break;
    case EEXIST:
      number = errFileAlreadyExists;
      break;
    default:
      break;
  }
  std::string description = ErrorText(number);
  if (!path.empty()) description += ": " + path;
  description += " (" + std::system_category().message(errnoValue) + ")";
  return AutomationError(number, source, description);
}

AutomationError NotARegularFile(const std::string& path, const std::string& source) {
  return AutomationError(kPathFileAccessError, source,
                         path +
                             " is not a regular file (a folder, pipe, device or socket); "
                             "only regular files are read and written");
}

}  // namespace orvex::files
