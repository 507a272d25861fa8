// Update of a record set attached to a connection: the edited or added row goes to its base
// table at once, located by its key columns or, without any, by all its original values.
#include <set>

#include "orvex/data.hpp"
#include "platform/data/errors.hpp"
#include "platform/data/native_values.hpp"
#include "platform/data/recordset_state.hpp"
#include "platform/data/sql_names.hpp"

namespace orvex::data::internal {

namespace {

constexpr int32_t kNoBaseTable = static_cast<int32_t>(0x80004005u);

struct BoundStatement {
  std::string sql;
  std::vector<std::pair<Variant, int32_t>> values;  // value, type
};

// A base table as the result's metadata gives it: its schema and its name.
struct BaseTable {
  std::string schema;
  std::string name;
  bool operator<(const BaseTable& other) const {
    return schema != other.schema ? schema < other.schema : name < other.name;
  }
  bool Holds(const ColumnInfo& column) const {
    return column.baseSchema == schema && column.baseTable == name;
  }
};

bool HasBaseTable(const ColumnInfo& column) {
  return !column.baseSchema.empty() && !column.baseTable.empty() && !column.baseColumn.empty();
}

// The table the edit writes to, never guessed: each edited column must name its schema and
// table, and all of them the same one.
BaseTable BaseTableOf(const RowStore& store, const std::map<int32_t, Variant>& pending) {
  std::set<BaseTable> tables;
  for (const auto& [column, value] : pending) {
    const ColumnInfo& info = store.Columns()[column];
    if (!HasBaseTable(info))
      RaiseDataError(kNoBaseTable, "Recordset",
                     "Insufficient base table information for updating: field '" + info.name +
                         "' is not a column of a table.");
    tables.insert({info.baseSchema, info.baseTable});
  }
  if (tables.size() > 1)
    RaiseDataError(kNoBaseTable, "Recordset",
                   "The edited fields belong to more than one table; update them one at a time.");
  if (tables.empty()) {
    for (const auto& column : store.Columns())
      if (HasBaseTable(column)) return {column.baseSchema, column.baseTable};
    RaiseDataError(kNoBaseTable, "Recordset", "Insufficient base table information for updating.");
  }
  return *tables.begin();
}

std::string QualifiedName(const BaseTable& table) {
  return QuoteIdentifier(table.schema) + "." + QuoteIdentifier(table.name);
}

BoundStatement BuildInsert(const RowStore& store, const BaseTable& table,
                           const std::map<int32_t, Variant>& pending) {
  BoundStatement built;
  built.sql = "INSERT INTO " + QualifiedName(table);
  if (pending.empty()) {
    built.sql += " DEFAULT VALUES";
    return built;
  }
  std::string names, markers;
  for (const auto& [column, value] : pending) {
    const ColumnInfo& info = store.Columns()[column];
    names += (names.empty() ? "" : ", ") + QuoteIdentifier(info.baseColumn);
    markers += markers.empty() ? "?" : ", ?";
    built.values.emplace_back(value, info.type);
  }
  built.sql += " (" + names + ") VALUES (" + markers + ")";
  return built;
}

// Columns that locate the row: the key columns of the table when the set holds them, else every
// column of the table except long ones, which databases do not compare.
std::vector<int32_t> LocatingColumns(const RowStore& store, const BaseTable& table) {
  std::vector<int32_t> keys, all;
  const auto& columns = store.Columns();
  for (size_t i = 0; i < columns.size(); ++i) {
    if (!table.Holds(columns[i]) || columns[i].baseColumn.empty()) continue;
    if (columns[i].isKey) keys.push_back(static_cast<int32_t>(i));
    if ((columns[i].attributes & adFldLong) == 0 || columns[i].type == adLongVarWChar)
      all.push_back(static_cast<int32_t>(i));
  }
  return keys.empty() ? all : keys;
}

BoundStatement BuildUpdate(const RowStore& store, const BaseTable& table, int64_t position,
                           const std::map<int32_t, Variant>& pending) {
  BoundStatement built;
  std::string assignments;
  for (const auto& [column, value] : pending) {
    const ColumnInfo& info = store.Columns()[column];
    assignments += (assignments.empty() ? "" : ", ") + QuoteIdentifier(info.baseColumn) + " = ?";
    built.values.emplace_back(value, info.type);
  }
  std::string where;
  for (int32_t column : LocatingColumns(store, table)) {
    const ColumnInfo& info = store.Columns()[column];
    const Variant& original = store.Value(position, column);
    where += where.empty() ? "" : " AND ";
    if (original.IsNull() || original.IsEmpty()) {
      where += QuoteIdentifier(info.baseColumn) + " IS NULL";
    } else {
      where += QuoteIdentifier(info.baseColumn) + " = ?";
      built.values.emplace_back(original, info.type);
    }
  }
  built.sql = "UPDATE " + QualifiedName(table) + " SET " + assignments;
  if (!where.empty()) built.sql += " WHERE " + where;
  return built;
}

int64_t Run(Session& session, const BoundStatement& built) {
  auto statement = session.Prepare(built.sql);
  for (size_t i = 0; i < built.values.size(); ++i) {
    const auto& [value, type] = built.values[i];
    statement->Bind(static_cast<int32_t>(i), ToNative(value, type), type);
  }
  statement->Execute();
  int64_t affected = statement->RowsAffected();
  statement->Reset();
  return affected;
}

}  // namespace

void WriteRowThrough(Session& session, const RowStore& store, int64_t position,
                     const std::map<int32_t, Variant>& pending, bool isNew) {
  if (!isNew && pending.empty()) return;
  BaseTable table = BaseTableOf(store, pending);
  if (isNew) {
    Run(session, BuildInsert(store, table, pending));
    return;
  }
  if (Run(session, BuildUpdate(store, table, position, pending)) == 0)
    RaiseDataError(DB_E_ROWNOTFOUND, "Recordset");
}

}  // namespace orvex::data::internal
