#include "reliability/log_files.hpp"

#include <sqlite3.h>

#include <stdexcept>

#include "support/temp_dir.hpp"

namespace orvex::reliability {

namespace {

// One UTF-16 unit as UTF-8 (the logs checked here hold the basic plane only).
void AppendUnit(std::string& out, uint16_t unit) {
  if (unit < 0x80) {
    out += static_cast<char>(unit);
  } else if (unit < 0x800) {
    out += static_cast<char>(0xC0 | (unit >> 6));
    out += static_cast<char>(0x80 | (unit & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (unit >> 12));
    out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (unit & 0x3F));
  }
}

}  // namespace

TextLog ReadUtf16Log(const std::string& path) {
  const std::string bytes = testing::ReadFile(path);
  TextLog log;
  size_t at = 0;
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    log.hasByteOrderMark = true;
    at = 2;
  }
  log.oddByte = (bytes.size() - at) % 2 != 0;
  std::string current;
  for (; at + 1 < bytes.size(); at += 2) {
    uint16_t unit = static_cast<uint8_t>(bytes[at]) | (static_cast<uint8_t>(bytes[at + 1]) << 8);
    AppendUnit(current, unit);
    if (current.size() >= 2 && current.compare(current.size() - 2, 2, "\r\n") == 0) {
      current.resize(current.size() - 2);
      log.lines.push_back(current);
      current.clear();
    }
  }
  log.lines.push_back(current);
  return log;
}

namespace {

struct Database {
  explicit Database(const std::string& path) {
    if (sqlite3_open(path.c_str(), &handle) != SQLITE_OK)
      throw std::runtime_error("cannot open " + path);
    sqlite3_busy_timeout(handle, 5000);
  }
  ~Database() { sqlite3_close(handle); }
  sqlite3* handle = nullptr;
};

}  // namespace

void ExecSqlite(const std::string& path, const std::string& sql) {
  Database db(path);
  char* message = nullptr;
  if (sqlite3_exec(db.handle, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : "unknown";
    sqlite3_free(message);
    throw std::runtime_error(text);
  }
}

std::vector<std::string> QuerySqliteTexts(const std::string& path, const std::string& sql) {
  Database db(path);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db.handle, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
    throw std::runtime_error(sqlite3_errmsg(db.handle));
  std::vector<std::string> texts;
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(statement, 0);
    texts.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
  }
  sqlite3_finalize(statement);
  if (step != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db.handle));
  return texts;
}

}  // namespace orvex::reliability
