// The event log destination: one entry in the system's application log (syslog) through the
// Host, written only where the host counts as a Windows NT system (MUtility::IsNT); elsewhere
// the destination does nothing and succeeds, without composing its line.
#pragma once

#include <cstdint>

#include "orvex/host.hpp"
#include "orvex/modules.hpp"

namespace orvex::logging {

class EventLogSink {
 public:
  // compose() returns the entry's text; eventType: evtError, evtInformation ... Raises the
  // Host's failure, or compose's.
  template <class Compose>
  void Write(Compose&& compose, int32_t eventType) const {
    if (MUtility::IsNT()) CurrentHost().WriteEventLog(compose(), eventType);
  }
};

}  // namespace orvex::logging
