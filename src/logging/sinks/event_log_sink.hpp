// The event log destination: one entry in the system's application log (syslog) through the
// Host, written only where the host counts as a Windows NT system (MUtility::IsNT); elsewhere
// the destination does nothing and succeeds.
#pragma once

#include <cstdint>
#include <string>

namespace orvex::logging {

class EventLogSink {
 public:
  // eventType: evtError, evtInformation ... Raises the Host's failure.
  void Write(const std::string& text, int32_t eventType) const;
};

}  // namespace orvex::logging
