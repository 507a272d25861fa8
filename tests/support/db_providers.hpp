// The database providers that database suites run on, and a fresh empty database per test.
//
// SQLite always runs. PostgreSQL runs when ORVEX_TEST_PG holds a connection string (scripts/
// with-postgres.sh sets it); without a reachable server its cases skip, except under CI=true,
// where they fail: CI must never pass by skipping the server.
//
// A parameterised suite:
//
//   class TextTableDb : public orvex::testing::DatabaseTest {};
//   TEST_P(TextTableDb, LoadsStrings) {
//     Db().RunScript("CREATE TABLE LanguageStrings (ID INTEGER PRIMARY KEY, English TEXT);");
//     table->ConnectingString(Db().ConnectionString()); ...
//   }
//   ORVEX_INSTANTIATE_DATABASE_TESTS(TextTableDb);
//
// A suite with a fixture of its own calls ORVEX_REQUIRE_PROVIDER(provider) in SetUp (or at the
// top of a test) and then makes a ScratchDatabase.
//
// Setup scripts should be portable: INTEGER, SMALLINT, BIGINT, REAL, DOUBLE PRECISION,
// NUMERIC(p,s), BOOLEAN, TIMESTAMP, DATE, TIME, CHAR(n), VARCHAR(n), TEXT, and unquoted names
// (PostgreSQL folds them to lower case; the library reads field names case-insensitively).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace orvex::testing {

inline constexpr const char* kSqlite = "SQLite";
inline constexpr const char* kPostgres = "PostgreSQL";

// "SQLite" / "PostgreSQL" as the name of the parameterised case.
std::string ProviderTestName(const ::testing::TestParamInfo<std::string>& info);

// True when CI=true: unavailable providers fail instead of skipping.
bool RunningInCi();

// Why the provider cannot be used in this process, "" when it can. For PostgreSQL: no
// ORVEX_TEST_PG, or the server it names does not answer (checked once per process).
std::string ProviderUnavailable(const std::string& provider);

// The server's connection string from ORVEX_TEST_PG ("" when unset), and the pg_ctl command
// line from ORVEX_TEST_PG_CTL ("" when unset) for tests that stop and start the server.
std::string PostgresServerSettings();
std::string PostgresControlCommand();

// A fresh empty database for one provider, gone when the object ends: a SQLite file in a
// temporary folder, or a PostgreSQL schema of its own that the connection string selects
// ("Search Path"), so tests may run in parallel against one server. Throws std::runtime_error
// when the database cannot be made.
class ScratchDatabase {
 public:
  explicit ScratchDatabase(const std::string& provider);
  ~ScratchDatabase();
  ScratchDatabase(const ScratchDatabase&) = delete;
  ScratchDatabase& operator=(const ScratchDatabase&) = delete;

  const std::string& Provider() const { return provider_; }
  bool IsPostgres() const { return provider_ == kPostgres; }
  // The connection string that the library under test is given.
  const std::string& ConnectionString() const { return connectionString_; }
  // For SQLite the database file; for PostgreSQL the schema name.
  const std::string& Location() const { return location_; }

  // Runs any number of ";"-separated statements directly through the client library, not
  // through the code under test. Throws std::runtime_error with the database's message.
  void RunScript(const std::string& sql) const;
  // The first column of the first row of a query as text ("" when NULL or no row), read
  // directly through the client library.
  std::string QueryText(const std::string& sql) const;
  // The number of rows of a table, read directly.
  long CountRows(const std::string& table) const;

 private:
  std::string provider_;
  std::string connectionString_;
  std::string location_;
  std::unique_ptr<TempDir> folder_;
};

// A test parameterised by provider name, with a fresh database made in SetUp.
class DatabaseTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override;
  void TearDown() override;
  ScratchDatabase& Db() { return *database_; }
  const std::string& Provider() const { return GetParam(); }

 private:
  std::unique_ptr<ScratchDatabase> database_;
};

}  // namespace orvex::testing

// Skips the test (fails it under CI=true) when the provider is not available here.
#define ORVEX_REQUIRE_PROVIDER(provider)                                           \
  do {                                                                             \
    std::string unavailable_ = ::orvex::testing::ProviderUnavailable(provider);    \
    if (!unavailable_.empty()) {                                                   \
      if (::orvex::testing::RunningInCi()) FAIL() << unavailable_ << " (CI=true)"; \
      GTEST_SKIP() << unavailable_;                                                \
    }                                                                              \
  } while (0)

// Instantiates a DatabaseTest suite for every provider, SQLite first.
#define ORVEX_INSTANTIATE_DATABASE_TESTS(Suite)                                               \
  INSTANTIATE_TEST_SUITE_P(                                                                   \
      Providers, Suite,                                                                       \
      ::testing::Values(std::string(::orvex::testing::kSqlite), ::orvex::testing::kPostgres), \
      ::orvex::testing::ProviderTestName)
