// The Host seam: everything the host platform answers (computer name, NT test, application event
// log, message box, clock, user locale). The base class is the default Linux host; a subclass
// overrides only what it needs. Every failure is an AutomationError.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "orvex/date.hpp"
#include "orvex/export.h"
#include "orvex/locale.hpp"

ORVEX_PUBLIC_BEGIN

namespace orvex {

// Application event-log entry types.
enum EventLogType : int32_t { evtError = 1, evtWarning = 2, evtInformation = 4 };

// Number raised by ShowMessageBox when the process has no desktop and no terminal.
inline constexpr int32_t kNoInteractiveDesktop = static_cast<int32_t>(0x800704C7u);

class Host {
 public:
  Host();
  virtual ~Host();

  // gethostname(); "" on failure.
  virtual std::string ComputerName();
  // False: Linux is not of the NT family, so the loggers skip the event log.
  virtual bool IsNT();
  // Writes one entry to the system log (syslog, identity "ORVEX"): type 1 at LOG_ERR, 2 at
  // LOG_WARNING, anything else at LOG_INFO.
  virtual void WriteEventLog(const std::string& text, int32_t eventType);
  // Modal message box: returns the answer 1..7. The default shows a desktop dialog where a
  // display is reachable (and the library was built with GTK), else a prompt on the controlling
  // terminal; with neither it raises kNoInteractiveDesktop.
  virtual int32_t ShowMessageBox(const std::string& prompt, int32_t style, const std::string& title,
                                 const std::string& helpFile, int32_t helpContext);
  // Local date and time from the system clock.
  virtual Date Now();
  // From LC_ALL / LC_TIME / LANG with ICU's data; en_US for "C", "POSIX" or nothing set.
  virtual Locale UserLocale();

 private:
  struct ORVEX_LIBRARY_ONLY Impl;
  std::unique_ptr<Impl> impl_;
};

// A host that answers IsNT() with true, so that the loggers' event-log destinations write to
// syslog on Linux.
class SystemLogHost : public Host {
 public:
  bool IsNT() override { return true; }
};

// Installs a host for the calling thread; nullptr restores the default.
void SetHost(std::shared_ptr<Host> host);
// The calling thread's host (never null).
Host& CurrentHost();
std::shared_ptr<Host> CurrentHostPtr();

}  // namespace orvex

ORVEX_PUBLIC_END
