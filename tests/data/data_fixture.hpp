// The data-layer tests run on every database provider through one fixture.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "orvex/data.hpp"
#include "support/db_providers.hpp"
#include "support/sql_rows.hpp"
#include "support/temp_dir.hpp"

namespace orvex::testing {

// A value as the tests compare it: its subtype and its text, all the digits of a floating-point
// number and the bytes of a byte array in hexadecimal.
inline std::string Shown(const Variant& value) {
  std::string shown = std::to_string(value.VarType()) + ":";
  char text[32];
  if (value.VarType() == (vbArray | vbByte)) {
    for (const Variant& byte : value.Array().Elements()) {
      std::snprintf(text, sizeof text, "%02x", byte.Byte());
      shown += text;
    }
  } else if (value.VarType() == vbDouble || value.VarType() == vbSingle) {
    std::snprintf(text, sizeof text, "%.17g", CDbl(value));
    shown += text;
  } else if (!value.IsNull()) {
    shown += CStr(value);
  }
  return shown;
}

// The bytes as a byte array, as the providers read binary columns.
inline Variant Bytes(const std::string& bytes) {
  SafeArray array(0, static_cast<int32_t>(bytes.size()));
  array.SetElementType(vbByte);
  for (size_t i = 0; i < bytes.size(); ++i)
    array[static_cast<int32_t>(i)] = Variant(static_cast<uint8_t>(bytes[i]));
  return Variant(std::move(array));
}

// A record set opened from a saved-rows file.
inline std::shared_ptr<data::Recordset> OpenSaved(const std::string& path) {
  auto recordset = std::make_shared<data::Recordset>();
  recordset->Open(Variant(path), Variant::Missing(), -1, -1, -1);
  return recordset;
}

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

  // The rows of a query as text: values joined by "|", a line a row, Null as "Null".
  std::string Rows(const std::string& sql) { return RowsText(QueryRows(connectionString_, sql)); }

  TempDir folder_;
  std::string connectionString_;
};

}  // namespace orvex::testing
