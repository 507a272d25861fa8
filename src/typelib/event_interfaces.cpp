// The outgoing interfaces through which the loggers raise their events.
#include "typelib/member_builders.hpp"

namespace orvex::typelib {

std::vector<InterfaceInfo> EventInterfaces() {
  InterfaceInfo logError{"__CLogError",
                         "CLogError",
                         "{799E7EFC-EBF6-4E30-8A0C-B8471A8E56C3}",
                         true,
                         {Event("ShowError", 1,
                                {Param("errSource", String()), Param("ErrNumber", Long()),
                                 Param("ErrDescription", String()), Param("ErrDate", DateType())}),
                          Event("ShowEvent", 2, {RefParam("strEvent", String())})}};
  InterfaceInfo logEvent{"__CLogEvent",
                         "CLogEvent",
                         "{3CEEFCFE-89C6-405A-AF75-4718251A00FD}",
                         true,
                         {Event("ShowEvent", 1, {RefParam("strEvent", String())})}};
  InterfaceInfo logXaction{"__CLogXaction",
                           "CLogXaction",
                           "{2BC9D797-47CE-434B-8E88-68514A043A23}",
                           true,
                           {Event("ShowEvent", 1, {RefParam("Data", VariantArray())})}};
  return {logError, logEvent, logXaction};
}

}  // namespace orvex::typelib
