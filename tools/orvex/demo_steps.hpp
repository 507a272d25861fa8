// The steps of "orvex demo", each on the shared context of one run.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "orvex/text_table.hpp"

namespace orvex::cli::demo {

// The first plain error number of the demo's component errors: error 1000 + k has the text of
// message k.
inline constexpr int32_t kFirstErrorNumber = 1000;
inline constexpr int32_t kLastErrorNumber = 1099;

struct DemoContext {
  std::string folder;
  std::string connection;  // "Provider=SQLite;Data Source=<folder>/orvex.db"
  bool interactive = false;
  std::ostream* out = nullptr;
  std::shared_ptr<CTextTable> english;
  std::shared_ptr<CTextTable> arabic;
  int32_t raisedEvents = 0;

  std::string File(const std::string& name) const { return folder + "/" + name; }
  std::ostream& Out() const { return *out; }
};

// The database: the five tables, the messages and the language strings.
void CreateDatabase(DemoContext& context);
// Messages in English and Arabic through CTextTable; LanguageStrings through TextE.
void LoadTexts(DemoContext& context);

void LogErrors(DemoContext& context);
void LogEvents(DemoContext& context);
void LogTransactions(DemoContext& context);

// messages.rows from the Messages table, read back through CTextTable3; returns its rows.
int32_t SaveMessageRows(DemoContext& context);

}  // namespace orvex::cli::demo
