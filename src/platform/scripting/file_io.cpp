#include "platform/scripting/file_io.hpp"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace orvex::scripting {
namespace {

struct PendingFault {
  int32_t remaining = 0;  // 0: none armed
  int errnoValue = 0;
};

thread_local PendingFault pendingFault;
// Threads with a fault armed: while none is, a write does not look at its thread's state.
std::atomic<int> armedThreads{0};

void Disarm() {
  if (pendingFault.remaining > 0) armedThreads.fetch_sub(1, std::memory_order_relaxed);
  pendingFault = {};
}

bool FolderExists(const std::string& path) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (parent.empty()) return true;
  std::error_code ignored;
  return std::filesystem::is_directory(parent, ignored);
}

}  // namespace

void WriteFaultInjection::FailNthWrite(int32_t nth, int errnoValue) {
  Disarm();
  if (nth <= 0) return;
  pendingFault = {nth, errnoValue};
  armedThreads.fetch_add(1, std::memory_order_relaxed);
}

void WriteFaultInjection::Clear() { Disarm(); }

bool WriteFaultInjection::ShouldFail(int& errnoValue) {
  if (armedThreads.load(std::memory_order_relaxed) == 0) return false;
  if (pendingFault.remaining <= 0) return false;
  if (pendingFault.remaining > 1) {
    --pendingFault.remaining;
    return false;
  }
  errnoValue = pendingFault.errnoValue;
  Disarm();
  return true;
}

void WriteAll(int fd, std::string_view bytes, std::string_view source) {
  int injected = 0;
  if (WriteFaultInjection::ShouldFail(injected))
    throw ErrorFromErrno(injected, "", std::string(source));
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throw ErrorFromErrno(errno, "", std::string(source));
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

AutomationError ErrorFromErrno(int errnoValue, const std::string& path, const std::string& source) {
  int32_t number = kDeviceIOError;
  switch (errnoValue) {
    case ENOENT:
      number = FolderExists(path) ? errFileNotFound : errPathNotFound;
      break;
    case ENOTDIR:
    case ENAMETOOLONG:
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

}  // namespace orvex::scripting
