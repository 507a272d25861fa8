// The one place where the file services hand bytes to the operating system, so that a test can
// make the Nth write fail and every caller maps an OS failure to the runtime's error numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "orvex/automation_error.hpp"

namespace orvex::scripting {

// The runtime's "Device I/O error", for OS failures without a closer number.
inline constexpr int32_t kDeviceIOError = 57;

// Writes every byte with write(2), retrying after EINTR and short writes, so that a record
// reaches the OS in as few calls as possible (one, unless the OS accepts less). Raises the
// AutomationError of ErrorFromErrno on failure; the bytes written before the failure stay.
void WriteAll(int fd, std::string_view bytes, std::string_view source);

// The runtime's error for an errno value met while working on path: 53 file not found (the
// folder exists), 76 path not found, 70 permission denied, 61 disk full, 58 file already
// exists, 57 device I/O error for everything else. The description names the path.
AutomationError ErrorFromErrno(int errnoValue, const std::string& path, const std::string& source);

// Fault injection for tests, per thread: the Nth call to WriteAll from now (1 = the next) fails
// with errnoValue before writing anything; later calls succeed again.
class WriteFaultInjection {
 public:
  static void FailNthWrite(int32_t nth, int errnoValue);
  static void Clear();
  // True (once) when the current write is the one to fail; used by WriteAll only.
  static bool ShouldFail(int& errnoValue);
};

}  // namespace orvex::scripting
