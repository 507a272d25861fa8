#include "reliability/log_files.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <stdexcept>

#include "support/temp_dir.hpp"

namespace orvex::reliability {

std::vector<std::string> TextLogRecords(const std::string& path, bool utf16, bool whole) {
  const std::string bytes = testing::ReadFile(path);
  std::string text = utf16 ? "" : bytes;  // as UTF-8 (the logs checked hold the basic plane only)
  if (utf16) {
    EXPECT_TRUE(bytes.empty() || bytes.starts_with("\xFF\xFE")) << "no byte-order mark: " << path;
    EXPECT_TRUE(!whole || bytes.size() % 2 == 0) << "half a UTF-16 unit: " << path;
    for (size_t at = 2; at + 1 < bytes.size(); at += 2) {
      const unsigned unit = static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1])
                                                                  << 8;
      if (unit >= 0x800) text += static_cast<char>(0xE0 | unit >> 12);
      if (unit >= 0x80)
        text += static_cast<char>((unit >= 0x800 ? 0x80 | (unit >> 6 & 0x3F) : 0xC0 | unit >> 6));
      text += static_cast<char>(unit >= 0x80 ? 0x80 | (unit & 0x3F) : unit);
    }
  }
  std::vector<std::string> records;
  size_t at = 0, line = 0;
  for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2, ++line) {
    const std::string piece = text.substr(at, end - at);
    if (line % 2 == 1) {
      EXPECT_EQ(piece, "") << "a record without its blank line after: " << records.back();
      continue;
    }
    EXPECT_EQ(piece.find("\xEF\xBB\xBF"), std::string::npos) << "a second byte-order mark";
    const size_t open = utf16 ? piece.find(" {") : 0;
    EXPECT_TRUE(open != std::string::npos && (!utf16 || piece.ends_with('}'))) << "torn: " << piece;
    if (open != std::string::npos)
      records.push_back(utf16 ? piece.substr(open + 2, piece.size() - open - 3) : piece);
  }
  EXPECT_TRUE(!whole || (at == text.size() && line % 2 == 0)) << "the file ends inside a record";
  return records;
}

std::vector<std::string> QuerySqliteTexts(const std::string& path, const std::string& sql) {
  std::vector<std::string> texts;
  sqlite3* db = nullptr;
  char* message = nullptr;
  const int opened = sqlite3_open(path.c_str(), &db);
  if (opened == SQLITE_OK) sqlite3_busy_timeout(db, 5000);
  const int result = opened != SQLITE_OK
                         ? opened
                         : sqlite3_exec(
                               db, sql.c_str(),
                               [](void* out, int, char** values, char**) {
                                 static_cast<std::vector<std::string>*>(out)->emplace_back(
                                     values[0] ? values[0] : "");
                                 return 0;
                               },
                               &texts, &message);
  const std::string error = message ? message : sqlite3_errmsg(db);
  sqlite3_free(message);
  sqlite3_close(db);
  if (result != SQLITE_OK) throw std::runtime_error(path + ": " + error);
  return texts;
}

void ExecSqlite(const std::string& path, const std::string& sql) { QuerySqliteTexts(path, sql); }

}  // namespace orvex::reliability
