#include "support/db_providers.hpp"

#include <libpq-fe.h>
#include <sqlite3.h>
#include <strings.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <random>
#include <stdexcept>

#include "platform/data/connection_string.hpp"
#include "platform/data/postgres/postgres_settings.hpp"

namespace orvex::testing {

namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : fallback;
}

// A libpq session of its own on the server that a library connection string names (its keys
// read as the library reads them): the helper's statements run beside the code under test, not
// through it.
struct PgConnection {
  PGconn* conn;
  explicit PgConnection(const std::string& connectionString) {
    const auto parameters = data::internal::postgres::ToConnectParameters(
        data::internal::ConnectionString::Parse(connectionString));
    std::vector<const char*> keywords, values;
    for (size_t i = 0; i <= parameters.keywords.size(); ++i) {
      const bool end = i == parameters.keywords.size();
      keywords.push_back(end ? nullptr : parameters.keywords[i].c_str());
      values.push_back(end ? nullptr : parameters.values[i].c_str());
    }
    conn = PQconnectdbParams(keywords.data(), values.data(), parameters.expandDatabase ? 1 : 0);
    if (PQstatus(conn) != CONNECTION_OK) {
      std::string message = PQerrorMessage(conn);
      PQfinish(conn);
      throw std::runtime_error("cannot reach the PostgreSQL server: " + message);
    }
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
  }
  ~PgConnection() { PQfinish(conn); }
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  // Runs the text (any number of statements) and returns the first value of its last result.
  std::string Run(const std::string& sql) const {
    if (PQsendQuery(conn, sql.c_str()) == 0) throw std::runtime_error(PQerrorMessage(conn));
    std::string first, failure;
    while (PGresult* result = PQgetResult(conn)) {
      ExecStatusType status = PQresultStatus(result);
      if (status == PGRES_FATAL_ERROR && failure.empty())
        failure = PQresultErrorMessage(result);
      else if (status == PGRES_TUPLES_OK)
        first = PQntuples(result) > 0 && PQnfields(result) > 0 ? PQgetvalue(result, 0, 0) : "";
      PQclear(result);
    }
    if (!failure.empty()) throw std::runtime_error("PostgreSQL: " + failure + "in: " + sql);
    return first;
  }
};

std::string UniqueSchemaName() {
  static std::atomic<int> counter{0};
  std::random_device random;
  return "orvex_t" + std::to_string(getpid()) + "_" + std::to_string(++counter) + "_" +
         std::to_string(random() % 100000);
}

// Runs the statements on the SQLite file; the first value of the first row any of them gave.
std::string RunSqlite(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  std::string first;
  char* message = nullptr;
  auto firstValue = [](void* target, int columns, char** values, char**) {
    auto* text = static_cast<std::string*>(target);
    if (text->empty() && columns > 0 && values[0] != nullptr) *text = values[0];
    return 0;
  };
  const bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
                  sqlite3_exec(db, sql.c_str(), firstValue, &first, &message) == SQLITE_OK;
  const std::string failure = message != nullptr ? message : sqlite3_errmsg(db);
  sqlite3_free(message);
  sqlite3_close_v2(db);
  if (!ok) throw std::runtime_error("SQLite: " + failure + " in: " + sql);
  return first;
}

}  // namespace

std::string ProviderTestName(const ::testing::TestParamInfo<std::string>& info) {
  return info.param;
}

bool RunningInCi() { return strcasecmp(EnvOr("CI", "").c_str(), "true") == 0; }

std::string PostgresServerSettings() { return EnvOr("ORVEX_TEST_PG", ""); }
std::string PostgresControlCommand() { return EnvOr("ORVEX_TEST_PG_CTL", ""); }

std::string ProviderUnavailable(const std::string& provider) {
  if (provider == kSqlite) return "";
  if (provider != kPostgres) return "unknown database provider '" + provider + "'";
  if (PostgresServerSettings().empty()) return "no PostgreSQL server configured (ORVEX_TEST_PG)";
  static std::once_flag once;
  static std::string unreachable;
  std::call_once(once, [] {
    try {
      PgConnection probe(PostgresServerSettings());
    } catch (const std::exception& error) {
      unreachable =
          std::string("PostgreSQL server of ORVEX_TEST_PG not reachable: ") + error.what();
    }
  });
  return unreachable;
}

ScratchDatabase::ScratchDatabase(const std::string& provider) : provider_(provider) {
  if (provider_ == kSqlite) {
    folder_ = std::make_unique<TempDir>();
    location_ = folder_->File("test.db");
    connectionString_ = "Provider=SQLite;Data Source=" + location_;
    RunSqlite(location_, "PRAGMA user_version = 1");  // the file exists from the start
    return;
  }
  if (provider_ != kPostgres) throw std::runtime_error("unknown provider " + provider_);
  location_ = UniqueSchemaName();
  PgConnection(PostgresServerSettings()).Run("CREATE SCHEMA " + location_);
  // The application name marks this test's sessions, so that the end can close them.
  connectionString_ =
      PostgresServerSettings() + ";Search Path=" + location_ + ";Application Name=" + location_;
}

ScratchDatabase::~ScratchDatabase() {
  if (!IsPostgres()) return;
  try {
    PgConnection admin(PostgresServerSettings());
    // Idle pooled sessions of this test would otherwise stay connected to the server.
    admin.Run(
        "SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity WHERE application_name = "
        "'" +
        location_ + "' AND pid <> pg_backend_pid()");
    admin.Run("DROP SCHEMA IF EXISTS " + location_ + " CASCADE");
  } catch (const std::exception& error) {
    ADD_FAILURE() << "could not drop the test schema " << location_ << ": " << error.what();
  }
}

void ScratchDatabase::RunScript(const std::string& sql) const { QueryText(sql); }

std::string ScratchDatabase::QueryText(const std::string& sql) const {
  if (IsPostgres()) return PgConnection(connectionString_).Run(sql);
  return RunSqlite(location_, sql);
}

long ScratchDatabase::CountRows(const std::string& table) const {
  return std::stol(QueryText("SELECT COUNT(*) FROM " + table));
}

void DatabaseTest::SetUp() {
  ORVEX_REQUIRE_PROVIDER(GetParam());
  database_ = std::make_unique<ScratchDatabase>(GetParam());
}

void DatabaseTest::TearDown() { database_.reset(); }

}  // namespace orvex::testing
