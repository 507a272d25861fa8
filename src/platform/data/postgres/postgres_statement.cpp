#include "platform/data/postgres/postgres_statement.hpp"

#include <libpq-fe.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "orvex/data.hpp"
#include "platform/data/postgres/postgres_errors.hpp"
#include "platform/data/postgres/postgres_types.hpp"

namespace orvex::data::internal::postgres {

namespace {

std::string RealText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  return buffer;
}

}  // namespace

PostgresStatement::PostgresStatement(std::shared_ptr<Link> link, std::string text,
                                     int32_t parameterCount)
    : link_(std::move(link)), text_(std::move(text)), values_(parameterCount) {
  Prepare("");
}

PostgresStatement::~PostgresStatement() {
  PQclear(result_);
  if (name_.empty() || !link_->IsOpen()) return;
  // Inside a failed transaction the server ignores commands; the name then lasts as long as
  // the session, which is harmless.
  if (PQtransactionStatus(link_->Connection()) == PQTRANS_INERROR) return;
  try {
    link_->Exec("DEALLOCATE " + name_);
  } catch (...) {
    // Ending a statement never raises.
  }
}

void PostgresStatement::Prepare(const std::string& name) {
  if (name.empty())
    unnamedSerial_ = link_->ClaimUnnamedStatement();
  else
    link_->ReleaseUnnamedStatement();
  ResultGuard guard{PQprepare(link_->Connection(), name.c_str(), text_.c_str(),
                              static_cast<int>(values_.size()), nullptr)};
  if (PQresultStatus(guard.result) != PGRES_COMMAND_OK) {
    if (name.empty()) link_->ReleaseUnnamedStatement();
    link_->NoteFailure(false);
    RaiseResultError(link_->Connection(), guard.result);
  }
  name_ = name;
}

// A statement whose unnamed slot was taken since is prepared again under its own name, which
// no later statement can take.
void PostgresStatement::EnsurePrepared() {
  if (!name_.empty() || link_->HoldsUnnamedStatement(unnamedSerial_)) return;
  Prepare(link_->NextStatementName());
}

void PostgresStatement::Bind(int32_t index, const NativeValue& value, int32_t /*adoType*/) {
  if (index < 0 || index >= ParameterCount())
    RaiseProviderError(DB_E_ERRORSINCOMMAND, "There is no parameter " + std::to_string(index + 1) +
                                                 " in the command text (it has " +
                                                 std::to_string(ParameterCount()) + ")");
  BoundValue& bound = values_[index];
  bound = BoundValue{false, false, {}};
  switch (value.kind) {
    case NativeValue::Kind::Null:
      bound.isNull = true;
      break;
    case NativeValue::Kind::Integer:
      bound.text = std::to_string(value.integer);
      break;
    case NativeValue::Kind::Real:
      bound.text = RealText(value.real);
      break;
    case NativeValue::Kind::Text:
      if (value.text.find('\0') != std::string::npos)
        RaiseProviderError(DB_E_CANTCONVERTVALUE,
                           "PostgreSQL text cannot hold a NUL character (parameter " +
                               std::to_string(index + 1) + ")");
      bound.text = value.text;
      break;
    case NativeValue::Kind::Blob:
      bound.isBinary = true;  // bytes go in binary format, untouched
      bound.text = value.text;
      break;
  }
}

void PostgresStatement::Execute() {
  Reset();
  rowsAffected_ = 0;
  if (!link_->IsOpen()) {
    link_->NoteFailure(false);
    RaiseConnectionError(link_->Connection(), "The connection is broken");
  }
  EnsurePrepared();
  std::vector<const char*> values;
  std::vector<int> lengths, formats;
  for (const BoundValue& bound : values_) {
    values.push_back(bound.isNull ? nullptr : bound.text.data());
    lengths.push_back(static_cast<int>(bound.text.size()));
    formats.push_back(bound.isBinary ? 1 : 0);
  }
  // The results are read one by one: a statement that the server reported done before the link
  // went is not the same failure as one it never ran.
  pg_conn* conn = link_->Connection();
  if (PQsendQueryPrepared(conn, name_.c_str(), static_cast<int>(values.size()), values.data(),
                          lengths.data(), formats.data(), 0) == 0) {
    link_->NoteFailure(false);
    RaiseConnectionError(conn, "The statement could not be sent");
  }
  bool reportedDone = false;
  pg_result* failed = nullptr;
  while (pg_result* next = PQgetResult(conn)) {
    ExecStatusType status = PQresultStatus(next);
    if (status == PGRES_COPY_IN || status == PGRES_COPY_OUT || status == PGRES_COPY_BOTH) {
      PQclear(failed);
      failed = next;  // COPY is not a statement a command runs; the server waits for data
      break;
    }
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
      reportedDone = true;
      PQclear(result_);
      result_ = next;
    } else {
      PQclear(failed);
      failed = next;
    }
  }
  if (failed != nullptr || result_ == nullptr) {
    Reset();
    ResultGuard guard{failed};
    link_->NoteFailure(reportedDone);
    RaiseResultError(conn, failed);
  }
  if (PQresultStatus(result_) == PGRES_COMMAND_OK) rowsAffected_ = std::atoll(PQcmdTuples(result_));
}

const std::vector<ColumnInfo>& PostgresStatement::Columns() {
  if (!columnsDescribed_ && result_ != nullptr) {
    DescribeColumns();
    columnsDescribed_ = true;
  }
  return columns_;
}

void PostgresStatement::DescribeColumns() {
  int count = PQnfields(result_);
  std::vector<unsigned> tables;
  for (int i = 0; i < count; ++i)
    if (PQftable(result_, i) != InvalidOid) tables.push_back(PQftable(result_, i));
  link_->LoadTables(tables);
  for (int i = 0; i < count; ++i) {
    ColumnInfo column;
    column.name = PQfname(result_, i);
    DescribeColumnType(PQftype(result_, i), PQfmod(result_, i), column);
    const CatalogTable* table = link_->Table(PQftable(result_, i));
    const CatalogColumn* origin = nullptr;
    if (table != nullptr) {
      auto found = table->columns.find(PQftablecol(result_, i));
      if (found != table->columns.end()) origin = &found->second;
    }
    if (origin != nullptr) {
      column.baseSchema = table->schema;
      column.baseTable = table->name;
      column.baseColumn = origin->name;
      column.isKey = origin->primaryKey;
    }
    if (column.isKey) column.attributes |= adFldKeyColumn;
    if (origin == nullptr || (!origin->notNull && !origin->primaryKey))
      column.attributes |= adFldIsNullable;
    columns_.push_back(std::move(column));
  }
}

bool PostgresStatement::NextRow(std::vector<NativeValue>& row) {
  if (result_ == nullptr || row_ >= PQntuples(result_)) return false;
  int count = PQnfields(result_);
  row.clear();
  for (int i = 0; i < count; ++i) {
    if (PQgetisnull(result_, row_, i))
      row.push_back(NativeValue::Null());
    else
      row.push_back(ReadCell(PQftype(result_, i), PQgetvalue(result_, row_, i),
                             PQgetlength(result_, row_, i)));
  }
  ++row_;
  return true;
}

void PostgresStatement::Reset() {
  PQclear(result_);
  result_ = nullptr;
  row_ = 0;
}

}  // namespace orvex::data::internal::postgres
