// What the data layer's own objects reach inside a Connection and its public header does not
// show: the open session, work run on it (with a lost session replaced), and the settings.
#pragma once

#include <functional>
#include <memory>

#include "orvex/data.hpp"

namespace orvex::data::internal {

class ConnectionString;
class Session;

struct ConnectionAccess {
  // The open session (taken from the pool again when it waits there); nullptr when closed.
  static std::shared_ptr<Session> SessionOf(const Connection& connection);
  // Runs `work` on the open session. Outside a transaction, a session found lost before the
  // work, or lost by a failure of the work that the database cannot have run, is replaced by a
  // new one and the work runs once more there; other failures pass unchanged. adErrObjectClosed
  // when the connection is closed.
  static void RunOnSession(Connection& connection,
                           const std::function<void(const std::shared_ptr<Session>&)>& work);
  // Whether the last RunOnSession failed because the database could not be reached (no session
  // could be had, or the one it ran on was lost), not because it refused the work.
  static bool LostItsDatabase(const Connection& connection);
  // The settings of the open connection, with the user and password given to Open.
  static const ConnectionString& Settings(const Connection& connection);
};

}  // namespace orvex::data::internal
