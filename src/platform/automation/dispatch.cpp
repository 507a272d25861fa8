#include "orvex/dispatch.hpp"

#include "orvex/automation_error.hpp"

namespace orvex {

// A class without outgoing events has no connection point to advise.
uint32_t Dispatch::Advise(std::shared_ptr<Dispatch> /*sink*/) { Raise(errNotSupported); }

void Dispatch::Unadvise(uint32_t /*cookie*/) { Raise(errNotSupported); }

}  // namespace orvex
