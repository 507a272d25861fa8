#include "platform/data/postgres/postgres_link.hpp"

#include <libpq-fe.h>

#include <cstdlib>

#include "platform/data/postgres/postgres_errors.hpp"
#include "platform/data/postgres/postgres_settings.hpp"

namespace orvex::data::internal::postgres {

namespace {

std::vector<const char*> CStrings(const std::vector<std::string>& texts) {
  std::vector<const char*> pointers;
  for (const auto& text : texts) pointers.push_back(text.c_str());
  pointers.push_back(nullptr);
  return pointers;
}

// Every column of the tables, with NOT NULL and primary-key membership.
constexpr const char* kCatalogQuery =
    "SELECT a.attrelid, c.relname, a.attnum, a.attname, a.attnotnull, "
    "EXISTS (SELECT 1 FROM pg_catalog.pg_index i WHERE i.indrelid = a.attrelid "
    "AND i.indisprimary AND a.attnum = ANY (i.indkey)), n.nspname "
    "FROM pg_catalog.pg_attribute a JOIN pg_catalog.pg_class c ON c.oid = a.attrelid "
    "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
    "WHERE a.attnum > 0 AND NOT a.attisdropped AND a.attrelid IN (";

}  // namespace

ResultGuard::~ResultGuard() { PQclear(result); }

Link::Link(const ConnectionString& settings) {
  ConnectParameters parameters = ToConnectParameters(settings);
  auto keywords = CStrings(parameters.keywords);
  auto values = CStrings(parameters.values);
  conn_ = PQconnectdbParams(keywords.data(), values.data(), parameters.expandDatabase ? 1 : 0);
  if (PQstatus(conn_) != CONNECTION_OK) {
    std::string context = "Cannot connect to the PostgreSQL server";
    try {
      RaiseConnectionError(conn_, context);
    } catch (...) {
      PQfinish(conn_);
      conn_ = nullptr;
      throw;
    }
  }
  // Notices (a DROP ... IF EXISTS that skipped ...) are not errors: keep them off stderr.
  PQsetNoticeProcessor(
      conn_, [](void*, const char*) {}, nullptr);
}

Link::~Link() { Close(); }

void Link::Close() {
  PQfinish(conn_);
  conn_ = nullptr;
}

bool Link::IsOpen() const { return conn_ != nullptr && PQstatus(conn_) == CONNECTION_OK; }

void Link::NoteFailure(bool serverReportedDone) {
  lostBeforeRunning_ = !serverReportedDone && !IsOpen();
}

void Link::Exec(const std::string& sql) {
  ReleaseUnnamedStatement();
  ResultGuard guard{PQexec(conn_, sql.c_str())};
  ExecStatusType status = PQresultStatus(guard.result);
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
    RaiseResultError(conn_, guard.result);
}

bool Link::Ping() {
  if (!IsOpen()) return false;
  ReleaseUnnamedStatement();
  ResultGuard guard{PQexec(conn_, "")};
  return PQresultStatus(guard.result) == PGRES_EMPTY_QUERY && IsOpen();
}

uint64_t Link::ClaimUnnamedStatement() {
  unnamedOwner_ = ++nextSerial_;
  return unnamedOwner_;
}

std::string Link::NextStatementName() { return "orvex_" + std::to_string(++nextSerial_); }

const CatalogTable* Link::Table(unsigned oid) {
  auto found = tables_.find(oid);
  return found == tables_.end() ? nullptr : &found->second;
}

void Link::LoadTables(const std::vector<unsigned>& oids) {
  std::string list;
  for (unsigned oid : oids)
    if (tables_.count(oid) == 0) list += (list.empty() ? "" : ",") + std::to_string(oid);
  if (list.empty()) return;
  ReleaseUnnamedStatement();
  ResultGuard guard{PQexec(conn_, (kCatalogQuery + list + ")").c_str())};
  if (PQresultStatus(guard.result) != PGRES_TUPLES_OK) RaiseResultError(conn_, guard.result);
  for (int row = 0; row < PQntuples(guard.result); ++row) {
    auto oid = static_cast<unsigned>(std::strtoul(PQgetvalue(guard.result, row, 0), nullptr, 10));
    CatalogTable& table = tables_[oid];
    table.name = PQgetvalue(guard.result, row, 1);
    table.schema = PQgetvalue(guard.result, row, 6);
    CatalogColumn& column = table.columns[std::atoi(PQgetvalue(guard.result, row, 2))];
    column.name = PQgetvalue(guard.result, row, 3);
    column.notNull = PQgetvalue(guard.result, row, 4)[0] == 't';
    column.primaryKey = PQgetvalue(guard.result, row, 5)[0] == 't';
  }
}

}  // namespace orvex::data::internal::postgres
