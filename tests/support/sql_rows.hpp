// Running statements and reading rows through the library's own data layer, for tests of the
// database destinations.
#pragma once

#include <string>
#include <vector>

#include "orvex/data.hpp"

namespace orvex::testing {

inline void ExecuteSql(const std::string& connectingString, const std::string& sql) {
  data::Connection connection;
  connection.Open(connectingString);
  connection.Execute(sql);
  connection.Close();
}

// Every row of the query, each as its field values in column order.
inline std::vector<std::vector<Variant>> QueryRows(const std::string& connectingString,
                                                   const std::string& sql) {
  data::Recordset records;
  records.CursorLocation(data::adUseClient);
  records.Open(Variant(sql), Variant(connectingString), data::adOpenStatic, data::adLockReadOnly,
               data::adCmdText);
  std::vector<std::vector<Variant>> rows;
  while (!records.EOF_()) {
    std::vector<Variant> row;
    for (int32_t i = 0; i < records.Fields()->Count(); ++i)
      row.push_back(records.Fields()->Item(i)->Value());
    rows.push_back(std::move(row));
    records.MoveNext();
  }
  records.Close();
  return rows;
}

// Rows as text, a line per row with its values joined by "|" ("Null" for Null), to check a
// whole table in one comparison.
inline std::string RowsText(const std::vector<std::vector<Variant>>& rows) {
  std::string text;
  for (const std::vector<Variant>& row : rows)
    for (size_t i = 0; i < row.size(); ++i)
      text += (row[i].IsNull() ? std::string("Null") : CStr(row[i])) +
              (i + 1 < row.size() ? "|" : "\n");
  return text;
}

// The server process behind a PostgreSQL connection, to tell one session from another.
inline int32_t BackendPid(const sp<data::Connection>& connection) {
  auto rows = connection->Execute("SELECT pg_backend_pid() AS pid");
  return CLng(rows->Fields()->Item("pid")->Value());
}

}  // namespace orvex::testing
