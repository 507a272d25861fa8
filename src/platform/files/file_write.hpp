// The one place where the library hands bytes to the operating system, and the one seam through
// which a test makes a chosen write fail on its own thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orvex::files {

// Writes every byte with write(2), retrying after EINTR and short writes, so that a record
// reaches the OS in as few calls as possible (one, unless the OS accepts less). Raises the
// AutomationError of ErrorFromErrno on failure; the bytes written before the failure stay
// (the callers that promise whole records cut them off again).
void WriteAll(int fd, std::string_view bytes, std::string_view source);

// A file-size limit (ulimit -f) makes write(2) fail with EFBIG -- a full disk, error 61 --
// instead of killing the process with SIGXFSZ. Changes the signal's disposition only while it
// is the default one; called by every writer before its first write.
void IgnoreFileSizeSignal();

// What the Nth write of WriteAll from now (1 = the next) does instead of its work: it hands
// `keptBytes` bytes of its data to the file (a short write, as a disk that fills up mid-record
// gives) and then fails with errnoValue. Later writes succeed again.
struct WriteFault {
  int32_t nth = 0;  // 0: no fault
  int errnoValue = 0;
  size_t keptBytes = 0;
};

// Installs the fault for the calling thread only, replacing the one installed before; a
// default WriteFault removes it. Other threads' writes never look at it.
void InstallWriteFault(const WriteFault& fault);
// True while the installed fault has not been reached yet.
bool WriteFaultPending();

}  // namespace orvex::files
