// The texts of two languages of a table of any kind, read whole, and target texts written back
// to it whole or not at all.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "orvex/text_exchange.hpp"
#include "orvex/variant.hpp"

namespace orvex::textexchange {

struct TableText {
  std::string source;  // "" for an empty or Null text
  std::string target;
};

// By ID, in ascending order; the first row of an ID that a table holds twice.
using TableTextMap = std::map<int32_t, TableText>;

class TableTexts {
 public:
  virtual ~TableTexts() = default;
  // The texts of both language columns. Rows whose ID is not a 32-bit whole number (or Null)
  // are left out: the text tables cannot look them up either.
  virtual TableTextMap Read(const std::string& sourceLanguage, const std::string& language) = 0;
  // Sets the target texts of the IDs (all present in the last Read) and stores the table; on
  // failure the stored table is as it was.
  virtual void Write(const std::map<int32_t, std::string>& targets) = 0;
  // The table's name for the file's header: the table, or the file's name.
  virtual std::string Origin() const = 0;
};

// Error 5 when the languages or the table are not plain names (letters, digits, "_", not
// starting with a digit; a table may be qualified by a schema with "."), or the two languages
// are the same column.
std::unique_ptr<TableTexts> OpenTableTexts(const TextTableSource& source,
                                           const std::string& sourceLanguage,
                                           const std::string& language);

// A text column's value as text: "" for Null.
std::string TextOfValue(const Variant& value);

// The ID that a decimal text writes ("-3", "12"; not "+3", "03" or " 3").
std::optional<int32_t> ParseId(std::string_view text);

std::unique_ptr<TableTexts> OpenDatabaseTexts(const std::string& connectionString,
                                              const std::string& table);
std::unique_ptr<TableTexts> OpenGlossaryTexts(const std::string& path);
std::unique_ptr<TableTexts> OpenSavedRowsTexts(const std::string& path);

}  // namespace orvex::textexchange
