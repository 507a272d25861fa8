// A database of multilingual strings for the text-table tests, on the provider that the test is
// parameterised with: a SQLite file in a temporary folder, or the PostgreSQL server named by
// ORVEX_TEST_PG (skipped with a message when it is not set or the provider is not built in).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "orvex/variant.hpp"
#include "support/temp_dir.hpp"

namespace orvex::testing {

// The non-severe component errors of the text tables: a read-only row (20000) and an absent ID
// (20001), as the client sees them.
constexpr int32_t kReadOnlyError = -1879028192;  // 0x90004E20
constexpr int32_t kAbsentIdError = -1879028191;  // 0x90004E21

class TextDatabase {
 public:
  // provider: "SQLite" or "PostgreSQL". skipReason is set instead when the database cannot be
  // had on this machine.
  TextDatabase(const std::string& provider, const TempDir& folder);

  const std::string& ConnectionString() const { return connectionString_; }
  const std::optional<std::string>& SkipReason() const { return skipReason_; }

  // Runs one statement on a fresh connection.
  void Exec(const std::string& sql) const;
  // The first column of the first row of a query, on a fresh connection; Empty without rows.
  Variant Scalar(const std::string& sql) const;
  // Creates the table with an integer ID that the database supplies when a row gives none, and
  // the text columns English and Arabic; any table of that name is dropped first.
  void CreateStringsTable(const std::string& table) const;
  // Creates tt_Messages with IDs 1 to 5 in English and Arabic, ID 6 whose Arabic is Null, and
  // ID -3; and LanguageStrings with IDs 1 and 2.
  void CreateSampleTables() const;

 private:
  std::string provider_;
  std::string connectionString_;
  std::optional<std::string> skipReason_;
};

// The providers that a parameterised test runs on.
inline const std::string kProviders[] = {"SQLite", "PostgreSQL"};

// A fixture parameterised by provider, holding the sample tables.
class TextDatabaseTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override;

  TempDir folder_;
  std::unique_ptr<TextDatabase> db_;
};

}  // namespace orvex::testing
