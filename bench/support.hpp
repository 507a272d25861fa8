// Shared fixtures of the benchmarks: temporary folders and the generated data sets (a table of
// multilingual texts and a glossary document), made once and reused by every benchmark.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct sqlite3;

namespace orvex::bench {

// A temporary folder, removed with its contents when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Number of rows of the text table and of texts in the glossary lookups.
inline constexpr int32_t kTableRows = 100000;

// The texts of one row of the generated table, in English and Arabic.
std::string EnglishText(int32_t id);
std::string ArabicText(int32_t id);

// A SQLite database holding the table "Messages" (ID, English, Arabic) of kTableRows rows;
// made on first use, removed at exit.
const std::string& MessagesDatabase();
inline constexpr const char* kMessagesTable = "Messages";

// A glossary document of about 20 MB ("Glossary" elements with ID, English and Arabic
// attributes); made on first use, removed at exit.
const std::string& GlossaryDocument();

// The IDs 1..kTableRows in a fixed random order.
const std::vector<int32_t>& RandomIds();

// Page faults the process has taken so far (minor and major): a load that takes fresh memory
// from the system pays one per page, which on a VM can cost as much as the load itself.
int64_t PageFaults();

// Raw SQLite helpers for the baselines and the fixtures; a failure aborts the run.
sqlite3* OpenSqlite(const std::string& path);
void ExecSqlite(sqlite3* db, const std::string& sql);

// The connection string of the PostgreSQL server to measure on ("" when none is configured),
// and the same server as a libpq connection-info string.
std::string PostgresConnectionString();
std::string PostgresConnInfo();

}  // namespace orvex::bench
