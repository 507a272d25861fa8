// A database for one test, behind a backend interface so that the same tests run on every
// provider: each backend makes an empty database and says how to reach it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "orvex/data.hpp"
#include "support/temp_dir.hpp"

namespace orvex::testing {

class DataBackend {
 public:
  virtual ~DataBackend() = default;
  virtual std::string Name() const = 0;
  // Empty optional-like "" when the backend is not available here (the test then skips).
  virtual std::string ConnectionString(const TempDir& folder) = 0;
};

class SqliteBackend : public DataBackend {
 public:
  std::string Name() const override { return "SQLite"; }
  std::string ConnectionString(const TempDir& folder) override {
    return "Provider=SQLite;Data Source=" + folder.File("test.db");
  }
};

// The backends the provider-neutral tests run on.
inline std::vector<std::shared_ptr<DataBackend>> AllDataBackends() {
  return {std::make_shared<SqliteBackend>()};
}

class DataTest : public ::testing::TestWithParam<std::shared_ptr<DataBackend>> {
 protected:
  void SetUp() override {
    connectionString_ = GetParam()->ConnectionString(folder_);
    if (connectionString_.empty()) GTEST_SKIP() << GetParam()->Name() << " is not configured";
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

inline std::string BackendName(const ::testing::TestParamInfo<std::shared_ptr<DataBackend>>& info) {
  return info.param->Name();
}

}  // namespace orvex::testing
