#include "platform/data/provider.hpp"
#include "platform/data/sqlite/sqlite_errors.hpp"
#include "platform/data/sqlite/sqlite_session.hpp"

namespace orvex::data::internal {

namespace {

class SqliteProvider : public Provider {
 public:
  std::string Name() const override { return sqlite::kProviderName; }
  std::shared_ptr<Session> Connect(const ConnectionString& settings) override {
    return std::make_shared<sqlite::SqliteSession>(settings);
  }
};

}  // namespace

std::shared_ptr<Provider> MakeSqliteProvider() { return std::make_shared<SqliteProvider>(); }

}  // namespace orvex::data::internal
