#include "logging/sinks/event_log_sink.hpp"

#include "orvex/host.hpp"
#include "orvex/modules.hpp"

namespace orvex::logging {

void EventLogSink::Write(const std::string& text, int32_t eventType) const {
  if (MUtility::IsNT()) CurrentHost().WriteEventLog(text, eventType);
}

}  // namespace orvex::logging
