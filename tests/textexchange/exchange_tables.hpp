// Tables of every kind for the exchange tests, made from the same texts, and their texts read
// back through the text table classes that clients use.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "orvex/text_exchange.hpp"
#include "support/db_providers.hpp"
#include "support/temp_dir.hpp"

namespace orvex::testing {

struct Texts {
  std::string english;
  std::optional<std::string> arabic;  // nullopt: untranslated (Null, or "" in a glossary)
};
using TextRows = std::map<int32_t, Texts>;

// The text as an SQL literal, NULL for none.
std::string SqlText(const std::optional<std::string>& text);

// "SQLite", "PostgreSQL" (a database table), "glossary", "rows" (a saved-rows file).
class ExchangeTables {
 public:
  ExchangeTables(const std::string& kind, const TempDir& folder);

  // Makes a table (English and Arabic) of the kind holding the rows; name tells tables apart.
  TextTableSource Make(const std::string& name, const TextRows& rows);
  // The Arabic text of each ID as the kind's text table class reads it ("" when absent).
  std::map<int32_t, std::string> Arabic(const TextTableSource& table, const TextRows& ids) const;
  // Runs statements on the database of the database kinds.
  void RunScript(const std::string& sql) const { database_->RunScript(sql); }
  // The stored form of the table: the file's bytes, or the rows of the database table.
  std::string Stored(const TextTableSource& table) const;

 private:
  std::string kind_;
  const TempDir& folder_;
  std::unique_ptr<ScratchDatabase> database_;
};

}  // namespace orvex::testing
