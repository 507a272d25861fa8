#include "platform/data/provider.hpp"
#include "platform/data/sqlite/sqlite_errors.hpp"
#include "platform/data/sqlite/sqlite_session.hpp"

namespace orvex::data::internal {

std::shared_ptr<Provider> MakeSqliteProvider() {
  return std::make_shared<SessionProvider<sqlite::SqliteSession>>(sqlite::kProviderName);
}

}  // namespace orvex::data::internal
