// A session on a PostgreSQL server through libpq.
#pragma once

#include <memory>
#include <string>

#include "platform/data/postgres/postgres_link.hpp"
#include "platform/data/provider.hpp"

namespace orvex::data::internal::postgres {

class PostgresSession : public Session {
 public:
  explicit PostgresSession(const ConnectionString& settings);
  ~PostgresSession() override;

  std::unique_ptr<Statement> Prepare(const std::string& sql) override;
  void Begin() override;
  // A transaction in which a statement failed is rolled back and the commit raises 0x80004005:
  // the server refuses to commit any part of it.
  void Commit() override;
  void Rollback() override;
  bool InTransaction() const override;
  // The connection is open and the server answers a round trip.
  bool IsUsable() override;
  bool IsLost() override;
  bool LostBeforeRunning() const override;
  SessionDescription Describe() const override;

 private:
  std::shared_ptr<Link> link_;
};

}  // namespace orvex::data::internal::postgres
