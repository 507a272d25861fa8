// The data-layer tests run on every database provider through one fixture.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "orvex/data.hpp"
#include "support/db_providers.hpp"
#include "support/temp_dir.hpp"

namespace orvex::testing {

// A data-layer test run once per database provider (SQLite, and PostgreSQL when a server is
// configured), each run on a fresh empty database.
class DataTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    connectionString_ = Db().ConnectionString();
  }

  // A new open connection to the test database.
  std::shared_ptr<data::Connection> Connect() {
    auto connection = std::make_shared<data::Connection>();
    connection->ConnectionString = connectionString_;
    connection->Open();
    return connection;
  }

  // Runs the statements as one setup script, in one transaction.
  void Run(const std::vector<std::string>& statements) {
    auto connection = Connect();
    connection->BeginTrans();
    for (const auto& sql : statements) connection->Execute(sql);
    connection->CommitTrans();
    connection->Close();
  }

  // A client-side record set of the query, detached from its connection.
  std::shared_ptr<data::Recordset> Query(const std::string& sql,
                                         int32_t lockType = data::adLockReadOnly) {
    auto connection = Connect();
    auto recordset = std::make_shared<data::Recordset>();
    recordset->CursorLocation(data::adUseClient);
    recordset->LockType(lockType);
    recordset->Open(Variant(sql), Variant(connection), data::adOpenStatic);
    recordset->SetActiveConnection(nullptr);
    connection->Close();
    return recordset;
  }

  TempDir folder_;
  std::string connectionString_;
};

}  // namespace orvex::testing
