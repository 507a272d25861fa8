// The host's answers to the automation part's questions about its surroundings.
#include "platform/automation/surroundings.hpp"

#include "orvex/host.hpp"

namespace orvex::surroundings {

Locale UserLocale() { return CurrentHost().UserLocale(); }

Date Now() { return CurrentHost().Now(); }

}  // namespace orvex::surroundings
