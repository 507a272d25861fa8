// Throughput of several processes logging to one database at once: 1, 2, 4 and 8 processes,
// each logging kRecordsPerProcess errors through CLogError, beside the same processes doing the
// same inserts through the raw client library with the settings the library uses (SQLite: WAL,
// a 5 s busy wait; PostgreSQL: one prepared insert per connection). Items per second is the
// number of records all the processes stored per second.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "orvex/log_error.hpp"
#include "support.hpp"

namespace orvex::bench {

namespace {

constexpr int32_t kRecordsPerProcess = 200;
constexpr const char* kInsert =
    "INSERT INTO ErrorLog ( lErrorNumber, strDescription, strSource,dDate ) VALUES ( ?, ?,?,? )";
constexpr const char* kDescription = "Invalid procedure call or argument";
constexpr const char* kSource = "@benchhost in BenchModule.BenchProcedure-BenchClient";

// Runs `work` in `processes` children at once; false when any of them failed.
bool InProcesses(int64_t processes, const std::function<bool()>& work) {
  std::vector<pid_t> children;
  for (int64_t p = 0; p < processes; ++p) {
    pid_t child = fork();
    if (child == 0) _exit(work() ? 0 : 1);
    children.push_back(child);
  }
  bool ok = true;
  for (pid_t child : children) {
    int status = 0;
    ok = waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0 && ok;
  }
  return ok;
}

bool LogErrors(const std::string& connection) {
  CLogError logger;
  logger.pConnect(connection, "ErrorLog");
  for (int32_t i = 0; i < kRecordsPerProcess; ++i) {
    TErrorObject error;
    error.lNumber = 5;
    error.strDescription = kDescription;
    error.strSource = "BenchClient";
    if ((logger.LogError("BenchModule", "BenchProcedure", error, ltDB) & etwelrLOGTODB_FAILED) != 0)
      return false;
  }
  return true;
}

// 1, 2, 4 and 8 processes, timed by the wall clock.
void ProcessCounts(benchmark::internal::Benchmark* b) {
  b->ArgName("processes")->Arg(1)->Arg(2)->Arg(4)->Arg(8)->UseRealTime();
  b->Unit(benchmark::kMillisecond);
}

void Measure(benchmark::State& state, const std::function<bool()>& work) {
  for (auto _ : state)
    if (!InProcesses(state.range(0), work)) {
      state.SkipWithError("a process failed to store its records");
      break;
    }
  state.SetItemsProcessed(state.iterations() * state.range(0) * kRecordsPerProcess);
}

std::string MakeSqliteDatabase(const TempFolder& folder) {
  std::string path = folder.File("errors.db");
  sqlite3* db = OpenSqlite(path);
  ExecSqlite(db, "PRAGMA journal_mode = WAL");
  ExecSqlite(db,
             "CREATE TABLE ErrorLog (ID INTEGER PRIMARY KEY, lErrorNumber INTEGER, "
             "strDescription VARCHAR(255), strSource VARCHAR(255), dDate DATETIME)");
  sqlite3_close(db);
  return path;
}

void BM_ProcessesSqlite_Ours(benchmark::State& state) {
  TempFolder folder;
  std::string connection = "Provider=SQLite;Data Source=" + MakeSqliteDatabase(folder);
  Measure(state, [&] { return LogErrors(connection); });
}
BENCHMARK(BM_ProcessesSqlite_Ours)->Apply(ProcessCounts);

void BM_ProcessesSqlite_Raw(benchmark::State& state) {
  TempFolder folder;
  std::string path = MakeSqliteDatabase(folder);
  Measure(state, [&] {
    sqlite3* db = OpenSqlite(path);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, kInsert, -1, &insert, nullptr);
    bool ok = true;
    for (int32_t i = 0; i < kRecordsPerProcess && ok; ++i) {
      sqlite3_bind_int(insert, 1, 5);
      sqlite3_bind_text(insert, 2, kDescription, -1, SQLITE_STATIC);
      sqlite3_bind_text(insert, 3, kSource, -1, SQLITE_STATIC);
      sqlite3_bind_null(insert, 4);
      ok = sqlite3_step(insert) == SQLITE_DONE;
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
    return ok;
  });
}
BENCHMARK(BM_ProcessesSqlite_Raw)->Apply(ProcessCounts);

// Makes the table on the configured server; false (the benchmark skipped) without one.
bool MakePostgresTable(benchmark::State& state, const char* table) {
  if (PostgresConnectionString().empty()) {
    state.SkipWithError("ORVEX_TEST_PG is not set (scripts/with-postgres.sh bench/run)");
    return false;
  }
  PGconn* conn = PQconnectdb(PostgresConnInfo().c_str());
  bool ok = PQstatus(conn) == CONNECTION_OK;
  if (ok) {
    PQclear(PQexec(conn, (std::string("DROP TABLE IF EXISTS ") + table).c_str()));
    PQclear(PQexec(conn, (std::string("CREATE TABLE ") + table +
                          " (ID serial PRIMARY KEY, lErrorNumber int, strDescription "
                          "varchar(255), strSource varchar(255), dDate timestamp)")
                             .c_str()));
  } else {
    state.SkipWithError(PQerrorMessage(conn));
  }
  PQfinish(conn);
  return ok;
}

void BM_ProcessesPostgres_Ours(benchmark::State& state) {
  if (!MakePostgresTable(state, "ErrorLog")) return;
  Measure(state, [] { return LogErrors(PostgresConnectionString()); });
}
BENCHMARK(BM_ProcessesPostgres_Ours)->Apply(ProcessCounts);

void BM_ProcessesPostgres_Raw(benchmark::State& state) {
  if (!MakePostgresTable(state, "ErrorLog")) return;
  Measure(state, [] {
    PGconn* conn = PQconnectdb(PostgresConnInfo().c_str());
    PQclear(PQprepare(conn, "insert_error",
                      "INSERT INTO ErrorLog ( lErrorNumber, strDescription, strSource,dDate ) "
                      "VALUES ( $1, $2,$3,$4 )",
                      4, nullptr));
    const char* values[4] = {"5", kDescription, kSource, nullptr};
    bool ok = PQstatus(conn) == CONNECTION_OK;
    for (int32_t i = 0; i < kRecordsPerProcess && ok; ++i) {
      PGresult* result = PQexecPrepared(conn, "insert_error", 4, values, nullptr, nullptr, 0);
      ok = PQresultStatus(result) == PGRES_COMMAND_OK;
      PQclear(result);
    }
    PQfinish(conn);
    return ok;
  });
}
BENCHMARK(BM_ProcessesPostgres_Raw)->Apply(ProcessCounts);

}  // namespace

}  // namespace orvex::bench
