// The database destinations: LogError and LogXaction with ltDB on SQLite, and LogError on
// PostgreSQL, each beside the raw client library doing the same insert.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include "orvex/log_error.hpp"
#include "orvex/log_xaction.hpp"
#include "support.hpp"

namespace orvex::bench {

namespace {

constexpr const char* kErrorTableSql =
    "CREATE TABLE ErrorLog (ID INTEGER PRIMARY KEY, lErrorNumber INTEGER, "
    "strDescription VARCHAR(255), strSource VARCHAR(255), dDate DATETIME)";
constexpr const char* kXactionTableSql =
    "CREATE TABLE Xactions (Account VARCHAR(20), Amount DOUBLE, Note VARCHAR(100))";
constexpr const char* kDescription = "Invalid procedure call or argument";
// About what the logger composes as the source of the sample error.
constexpr const char* kComposedSource = "@benchhost in BenchModule.BenchProcedure-BenchClient";

TErrorObject SampleError() {
  TErrorObject error;
  error.lNumber = 5;
  error.strDescription = kDescription;
  error.strSource = "BenchClient";
  return error;
}

std::string SqliteConnection(const std::string& path) {
  return "Provider=SQLite;Data Source=" + path;
}

// Makes the database file with one table through a connection of its own.
void CreateSqliteTable(const std::string& path, const char* sql) {
  sqlite3* db = OpenSqlite(path);
  ExecSqlite(db, sql);
  sqlite3_close(db);
}

void RunLogError(benchmark::State& state, CLogError& logger) {
  // One error object for every call: LogError changes it only when a destination fails, which
  // ends the run, so no copy of it (which the baselines would not make) is timed.
  TErrorObject error = SampleError();
  for (auto _ : state) {
    int32_t result = logger.LogError("BenchModule", "BenchProcedure", error, ltDB);
    if ((result & etwelrLOGTODB_FAILED) != 0) {
      state.SkipWithError(("database log failed: " + error.strDescription).c_str());
      break;
    }
  }
}

void BM_LogErrorSqlite_Ours(benchmark::State& state) {
  TempFolder folder;
  std::string path = folder.File("errors.db");
  CreateSqliteTable(path, kErrorTableSql);
  CLogError logger;
  logger.pConnect(SqliteConnection(path), "ErrorLog");
  RunLogError(state, logger);
}
BENCHMARK(BM_LogErrorSqlite_Ours)->Unit(benchmark::kMicrosecond);

void BM_LogErrorSqlite_Raw(benchmark::State& state) {
  TempFolder folder;
  std::string path = folder.File("errors.db");
  CreateSqliteTable(path, kErrorTableSql);
  sqlite3* db = OpenSqlite(path);
  // The settings the provider opens its sessions with; synchronous stays default.
  sqlite3_busy_timeout(db, 5000);
  ExecSqlite(db, "PRAGMA foreign_keys = ON");
  ExecSqlite(db, "PRAGMA journal_mode = WAL");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO ErrorLog ( lErrorNumber, strDescription, strSource,dDate ) "
                     "VALUES ( ?, ?,?,? )",
                     -1, &insert, nullptr);
  for (auto _ : state) {
    sqlite3_bind_int(insert, 1, 5);
    sqlite3_bind_text(insert, 2, kDescription, -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 3, kComposedSource, -1, SQLITE_STATIC);
    sqlite3_bind_null(insert, 4);
    if (sqlite3_step(insert) != SQLITE_DONE) state.SkipWithError(sqlite3_errmsg(db));
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_close(db);
}
BENCHMARK(BM_LogErrorSqlite_Raw)->Unit(benchmark::kMicrosecond);

SafeArray SampleTransaction() {
  SafeArray data(1, 3);
  data[1] = Variant("ACC-00042");
  data[2] = Variant(125.5);
  data[3] = Variant("monthly transfer");
  return data;
}

void BM_LogXactionSqlite_Ours(benchmark::State& state) {
  TempFolder folder;
  std::string path = folder.File("xactions.db");
  CreateSqliteTable(path, kXactionTableSql);
  CLogXaction logger;
  int16_t sourceCount = 0;
  logger.pConnect(SqliteConnection(path), "Xactions", sourceCount);
  SafeArray data = SampleTransaction();
  for (auto _ : state) {
    try {
      logger.LogXaction(data, ltDB);
    } catch (const AutomationError& error) {
      state.SkipWithError(("transaction log failed: " + error.Description).c_str());
      break;
    }
  }
}
BENCHMARK(BM_LogXactionSqlite_Ours)->Unit(benchmark::kMicrosecond);

void BM_LogXactionSqlite_Raw(benchmark::State& state) {
  TempFolder folder;
  std::string path = folder.File("xactions.db");
  CreateSqliteTable(path, kXactionTableSql);
  sqlite3* db = OpenSqlite(path);
  sqlite3_busy_timeout(db, 5000);
  ExecSqlite(db, "PRAGMA foreign_keys = ON");
  ExecSqlite(db, "PRAGMA journal_mode = WAL");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO Xactions ( Account,Amount,Note )  VALUES ( ?,?,? )", -1,
                     &insert, nullptr);
  for (auto _ : state) {
    ExecSqlite(db, "BEGIN IMMEDIATE");
    sqlite3_bind_text(insert, 1, "ACC-00042", -1, SQLITE_STATIC);
    sqlite3_bind_double(insert, 2, 125.5);
    sqlite3_bind_text(insert, 3, "monthly transfer", -1, SQLITE_STATIC);
    if (sqlite3_step(insert) != SQLITE_DONE) state.SkipWithError(sqlite3_errmsg(db));
    sqlite3_reset(insert);
    ExecSqlite(db, "COMMIT");
  }
  sqlite3_finalize(insert);
  sqlite3_close(db);
}
BENCHMARK(BM_LogXactionSqlite_Raw)->Unit(benchmark::kMicrosecond);

// A libpq connection to the configured server, or nullptr (the benchmark is then skipped).
PGconn* ConnectPostgres(benchmark::State& state) {
  if (PostgresConnectionString().empty()) {
    state.SkipWithError("ORVEX_TEST_PG is not set (scripts/with-postgres.sh bench/run)");
    return nullptr;
  }
  PGconn* conn = PQconnectdb(PostgresConnInfo().c_str());
  if (PQstatus(conn) != CONNECTION_OK) {
    state.SkipWithError(PQerrorMessage(conn));
    PQfinish(conn);
    return nullptr;
  }
  return conn;
}

void ExecPostgres(PGconn* conn, const std::string& sql) { PQclear(PQexec(conn, sql.c_str())); }

// Skips with an error when the table does not hold one row per iteration.
void CheckRowCount(benchmark::State& state, PGconn* conn, const std::string& table) {
  PGresult* result = PQexec(conn, ("SELECT count(*) FROM " + table).c_str());
  const char* count = PQresultStatus(result) == PGRES_TUPLES_OK ? PQgetvalue(result, 0, 0) : "";
  if (std::to_string(state.iterations()) != count)
    state.SkipWithError(("rows in " + table + ": " + count).c_str());
  PQclear(result);
}

void CreatePostgresTable(PGconn* conn, const std::string& table) {
  ExecPostgres(conn, "DROP TABLE IF EXISTS " + table);
  ExecPostgres(conn, "CREATE TABLE " + table +
                         " (ID serial PRIMARY KEY, lErrorNumber int, strDescription varchar(255), "
                         "strSource varchar(255), dDate timestamp)");
}

void BM_LogErrorPostgres_Ours(benchmark::State& state) {
  PGconn* conn = ConnectPostgres(state);
  if (conn == nullptr) return;
  CreatePostgresTable(conn, "bench_errlog_ours");
  {
    CLogError logger;
    logger.pConnect(PostgresConnectionString(), "bench_errlog_ours");
    RunLogError(state, logger);
  }
  CheckRowCount(state, conn, "bench_errlog_ours");
  ExecPostgres(conn, "DROP TABLE bench_errlog_ours");
  PQfinish(conn);
}
BENCHMARK(BM_LogErrorPostgres_Ours)->Unit(benchmark::kMicrosecond);

void BM_LogErrorPostgres_Raw(benchmark::State& state) {
  PGconn* conn = ConnectPostgres(state);
  if (conn == nullptr) return;
  CreatePostgresTable(conn, "bench_errlog_raw");
  PQclear(
      PQprepare(conn, "insert_error",
                "INSERT INTO bench_errlog_raw ( lErrorNumber, strDescription, strSource,dDate ) "
                "VALUES ( $1, $2,$3,$4 )",
                4, nullptr));
  const char* values[4] = {"5", kDescription, kComposedSource, nullptr};
  for (auto _ : state) {
    PGresult* result = PQexecPrepared(conn, "insert_error", 4, values, nullptr, nullptr, 0);
    if (PQresultStatus(result) != PGRES_COMMAND_OK) state.SkipWithError(PQerrorMessage(conn));
    PQclear(result);
  }
  CheckRowCount(state, conn, "bench_errlog_raw");
  ExecPostgres(conn, "DROP TABLE bench_errlog_raw");
  PQfinish(conn);
}
BENCHMARK(BM_LogErrorPostgres_Raw)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace orvex::bench
