#include "platform/data/postgres/postgres_provider.hpp"

#include "platform/data/postgres/postgres_errors.hpp"
#include "platform/data/postgres/postgres_session.hpp"

namespace orvex::data::internal {

std::shared_ptr<Provider> MakePostgresProvider() {
  return std::make_shared<SessionProvider<postgres::PostgresSession>>(postgres::kProviderName);
}

}  // namespace orvex::data::internal
