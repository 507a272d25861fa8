#include "support.hpp"

#include <sqlite3.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace orvex::bench {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvex-bench.XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string EnglishText(int32_t id) {
  return "Message " + std::to_string(id) + ": the operation could not be completed";
}

std::string ArabicText(int32_t id) {
  return "الرسالة " + std::to_string(id) + ": تعذر إكمال العملية";
}

sqlite3* OpenSqlite(const std::string& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    std::fprintf(stderr, "cannot open %s: %s\n", path.c_str(), sqlite3_errmsg(db));
    std::abort();
  }
  return db;
}

void ExecSqlite(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::fprintf(stderr, "%s: %s\n", sql.c_str(), message != nullptr ? message : "");
    std::abort();
  }
}

namespace {

TempFolder& SharedFolder() {
  static TempFolder folder;
  return folder;
}

std::string MakeMessagesDatabase() {
  std::string path = SharedFolder().File("messages.db");
  sqlite3* db = OpenSqlite(path);
  ExecSqlite(db, "CREATE TABLE Messages (ID INTEGER PRIMARY KEY, English TEXT, Arabic TEXT)");
  ExecSqlite(db, "BEGIN");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO Messages VALUES (?, ?, ?)", -1, &insert, nullptr);
  for (int32_t id = 1; id <= kTableRows; ++id) {
    std::string english = EnglishText(id);
    std::string arabic = ArabicText(id);
    sqlite3_bind_int(insert, 1, id);
    sqlite3_bind_text(insert, 2, english.data(), static_cast<int>(english.size()), SQLITE_STATIC);
    sqlite3_bind_text(insert, 3, arabic.data(), static_cast<int>(arabic.size()), SQLITE_STATIC);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  ExecSqlite(db, "COMMIT");
  sqlite3_close(db);
  return path;
}

std::string MakeGlossaryDocument() {
  constexpr std::size_t kTargetBytes = 20u << 20;
  std::string path = SharedFolder().File("glossary.xml");
  std::ofstream out(path, std::ios::binary);
  std::size_t written = 0;
  std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Glossaries>\n";
  out << head;
  written += head.size();
  for (int32_t id = 1; written < kTargetBytes; ++id) {
    std::string element = "  <Glossary ID=\"" + std::to_string(id) + "\" English=\"" +
                          EnglishText(id) + "\" Arabic=\"" + ArabicText(id) + "\"/>\n";
    out << element;
    written += element.size();
  }
  out << "</Glossaries>\n";
  return path;
}

// Value of key in an "a=b;c=d" connection string, keys compared without case.
std::string SettingOf(const std::string& connection, const std::string& key) {
  std::stringstream pairs(connection);
  std::string pair;
  while (std::getline(pairs, pair, ';')) {
    auto equals = pair.find('=');
    if (equals == std::string::npos) continue;
    std::string name = pair.substr(0, equals);
    std::transform(name.begin(), name.end(), name.begin(), ::tolower);
    if (name == key) return pair.substr(equals + 1);
  }
  return "";
}

}  // namespace

const std::string& MessagesDatabase() {
  static const std::string path = MakeMessagesDatabase();
  return path;
}

const std::string& GlossaryDocument() {
  static const std::string path = MakeGlossaryDocument();
  return path;
}

int64_t PageFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<int64_t>(usage.ru_minflt + usage.ru_majflt);
}

const std::vector<int32_t>& RandomIds() {
  static const std::vector<int32_t> ids = [] {
    std::vector<int32_t> all(kTableRows);
    for (int32_t i = 0; i < kTableRows; ++i) all[i] = i + 1;
    std::shuffle(all.begin(), all.end(), std::mt19937(20261205));
    return all;
  }();
  return ids;
}

std::string PostgresConnectionString() {
  const char* configured = std::getenv("ORVEX_TEST_PG");
  return configured != nullptr ? configured : "";
}

std::string PostgresConnInfo() {
  std::string connection = PostgresConnectionString();
  std::string info;
  auto add = [&](const char* libpqKey, const char* key) {
    std::string value = SettingOf(connection, key);
    if (!value.empty()) info += std::string(libpqKey) + "='" + value + "' ";
  };
  add("host", "host");
  add("port", "port");
  add("dbname", "database");
  add("user", "user id");
  add("password", "password");
  return info;
}

}  // namespace orvex::bench
