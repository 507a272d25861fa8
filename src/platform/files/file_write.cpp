#include "platform/files/file_write.hpp"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <mutex>
#include <string>

#include "platform/files/file_error.hpp"

namespace orvex::files {
namespace {

thread_local WriteFault installedFault;
// Threads with a fault installed: while none is, a write does not look at its thread's state.
std::atomic<int> threadsWithFault{0};

void RemoveFault() {
  if (installedFault.nth > 0) threadsWithFault.fetch_sub(1, std::memory_order_relaxed);
  installedFault = {};
}

// The fault to act on at this write, if it is the one.
bool FaultHere(WriteFault& fault) {
  if (threadsWithFault.load(std::memory_order_relaxed) == 0) return false;
  if (installedFault.nth <= 0) return false;
  if (installedFault.nth > 1) {
    --installedFault.nth;
    return false;
  }
  fault = installedFault;
  RemoveFault();
  return true;
}

}  // namespace

void InstallWriteFault(const WriteFault& fault) {
  RemoveFault();
  if (fault.nth <= 0) return;
  installedFault = fault;
  threadsWithFault.fetch_add(1, std::memory_order_relaxed);
}

bool WriteFaultPending() { return installedFault.nth > 0; }

void IgnoreFileSizeSignal() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction current {};
    if (::sigaction(SIGXFSZ, nullptr, &current) != 0) return;
    if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_DFL)
      ::signal(SIGXFSZ, SIG_IGN);
  });
}

void WriteAll(int fd, std::string_view bytes, std::string_view source) {
  WriteFault fault;
  if (FaultHere(fault)) {
    std::string_view kept = bytes.substr(0, std::min(fault.keptBytes, bytes.size()));
    while (!kept.empty()) {
      ssize_t written = ::write(fd, kept.data(), kept.size());
      if (written <= 0) break;
      kept.remove_prefix(static_cast<size_t>(written));
    }
    throw ErrorFromErrno(fault.errnoValue, "", std::string(source));
  }
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throw ErrorFromErrno(errno, "", std::string(source));
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

}  // namespace orvex::files
