// Connection points: the outgoing events of a class reach every advised sink, in the order the
// sinks were advised.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "orvex/automation_error.hpp"
#include "orvex/export.h"

ORVEX_PUBLIC_BEGIN

namespace orvex {

// CONNECT_E_NOCONNECTION: Unadvise with a cookie that names no connection.
inline constexpr int32_t kNoConnection = static_cast<int32_t>(0x80040200u);

template <class Sink>
class ConnectionPoint {
 public:
  // Returns the cookie that Unadvise takes; raises 424 (object required) for a null sink.
  uint32_t Advise(std::shared_ptr<Sink> sink) {
    if (!sink) Raise(errObjectRequired);
    sinks_.push_back({++lastCookie_, std::move(sink)});
    return lastCookie_;
  }

  void Unadvise(uint32_t cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
      if (it->cookie == cookie) {
        sinks_.erase(it);
        return;
      }
    }
    Raise(kNoConnection, kDefaultErrorSource, "The connection does not exist");
  }

  bool Empty() const { return sinks_.empty(); }

  // Calls each sink in turn; an exception thrown by a sink is swallowed and the next sink runs.
  // A sink that unadvises itself during the call does not disturb the others.
  template <class Call>
  void Fire(Call&& call) {
    std::vector<Connection> snapshot = sinks_;
    for (Connection& connection : snapshot) {
      try {
        call(*connection.sink);
      } catch (...) {
      }
    }
  }

 private:
  struct Connection {
    uint32_t cookie;
    std::shared_ptr<Sink> sink;
  };
  std::vector<Connection> sinks_;
  uint32_t lastCookie_ = 0;
};

}  // namespace orvex

ORVEX_PUBLIC_END
