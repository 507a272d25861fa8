#include "platform/data/postgres/postgres_provider.hpp"

#include "platform/data/postgres/postgres_errors.hpp"
#include "platform/data/postgres/postgres_session.hpp"

namespace orvex::data::internal {

namespace {

class PostgresProvider : public Provider {
 public:
  std::string Name() const override { return postgres::kProviderName; }
  std::shared_ptr<Session> Connect(const ConnectionString& settings) override {
    return std::make_shared<postgres::PostgresSession>(settings);
  }
};

}  // namespace

std::shared_ptr<Provider> MakePostgresProvider() { return std::make_shared<PostgresProvider>(); }

}  // namespace orvex::data::internal
