// A large real multilingual table: the ISO 639-3 language names (about 9,000) with their
// translations into six languages of six scripts, left to right and right to left, as the Debian
// package iso-codes ships them (compiled gettext catalogs). Every language goes out as PO,
// through gettext's msgfmt --check and msgcat, and back into an empty column of a second table;
// every text is compared. (Six scripts rather than all the package's ninety languages: each
// language costs gettext runs and a pass over the whole table.)
#include <gtest/gtest.h>

#include <cstdlib>

#include <cstring>
#include <filesystem>
#include <set>

#include "orvex/text_exchange.hpp"
#include "support/recording_host.hpp"
#include "support/temp_dir.hpp"
#include "textexchange/exchange_tables.hpp"

namespace orvex::testing {
namespace {

const std::filesystem::path kLocales = "/usr/share/locale";
constexpr const char* kCatalog = "LC_MESSAGES/iso_639-3.mo";
const std::vector<std::string> kLocaleNames = {"fr", "ar", "zh_CN", "ru", "he", "th"};

// The messages of a compiled gettext catalog (.mo), msgid to msgstr, without the header; a
// msgid with a context is keyed "context\x04msgid", as the format stores it.
std::map<std::string, std::string> ReadCatalog(const std::string& path) {
  const std::string bytes = ReadFile(path);
  auto word = [&](size_t at) {
    uint32_t value = 0;
    if (at + 4 <= bytes.size()) std::memcpy(&value, bytes.data() + at, 4);
    return value;
  };
  std::map<std::string, std::string> messages;
  if (word(0) != 0x950412deu) {
    ADD_FAILURE() << path << " is not a little-endian catalog";
    return messages;
  }
  const uint32_t count = word(8), originals = word(12), translations = word(16);
  auto text = [&](uint32_t table, uint32_t index) {
    const uint32_t length = word(table + 8 * index), offset = word(table + 8 * index + 4);
    return offset + length <= bytes.size() ? bytes.substr(offset, length) : std::string();
  };
  for (uint32_t i = 0; i < count; ++i) {
    std::string id = text(originals, i);
    if (!id.empty()) messages.emplace(std::move(id), text(translations, i));
  }
  return messages;
}

TEST(IsoCodesTable, EveryTranslationGoesThroughGettextAndComesBack) {
  std::map<std::string, std::map<std::string, std::string>> catalogs;  // column -> messages
  for (const std::string& locale : kLocaleNames)
    if (std::filesystem::exists(kLocales / locale / kCatalog))
      catalogs["L_" + locale] = ReadCatalog((kLocales / locale / kCatalog).string());
  if (catalogs.size() < kLocaleNames.size()) {
    if (RunningInCi()) FAIL() << "the package iso-codes is not installed";
    GTEST_SKIP() << "the package iso-codes is not installed";
  }
  // The English names are the catalogs' message IDs; each gets an ID in their sorted order.
  std::set<std::string> names;
  for (const auto& [column, messages] : catalogs)
    for (const auto& [name, translation] : messages) names.insert(name);
  const std::vector<std::string> english(names.begin(), names.end());
  ASSERT_GT(english.size(), 9000u);

  HostGuard host;
  TempDir folder;
  ScratchDatabase db(kSqlite);
  // Iso holds the catalogs' texts; Back the same IDs and English names, with no translation.
  std::string columns;
  for (const auto& [column, messages] : catalogs) columns += ", " + column + " TEXT";
  std::string script = "BEGIN;CREATE TABLE Iso (ID INTEGER PRIMARY KEY, English TEXT" + columns +
                       ");CREATE TABLE Back (ID INTEGER PRIMARY KEY, English TEXT" + columns + ");";
  for (size_t i = 0; i < english.size(); ++i) {
    const std::string key = std::to_string(i + 1) + ", " + SqlText(english[i]);
    script += "INSERT INTO Back (ID, English) VALUES (" + key + ");INSERT INTO Iso VALUES (" + key;
    for (const auto& [column, messages] : catalogs) {
      const auto found = messages.find(english[i]);
      script += ", " + SqlText(found == messages.end() ? std::nullopt
                                                       : std::optional<std::string>(found->second));
    }
    script += ");";
  }
  db.RunScript(script + "COMMIT;");
  const TextTableSource table = TextTableSource::Database(db.ConnectionString(), "Iso");
  const TextTableSource back = TextTableSource::Database(db.ConnectionString(), "Back");

  for (const auto& [column, messages] : catalogs) {
    SCOPED_TRACE(column);
    const std::string po = folder.File(column + ".po"), mo = folder.File(column + ".mo"),
                      merged = folder.File(column + "-msgcat.po");
    WriteFile(po, ExportTexts(table, {column, "English", ExchangeFormat::Po}));
    ASSERT_EQ(std::system(("msgfmt --check -o " + mo + " " + po).c_str()), 0);
    ASSERT_EQ(std::system(("msgcat -o " + merged + " " + po).c_str()), 0);
    // gettext compiled each translation under its ID as context.
    std::map<std::string, std::string> expected;
    for (size_t i = 0; i < english.size(); ++i)
      if (auto found = messages.find(english[i]); found != messages.end())
        expected[std::to_string(i + 1) + '\x04' + english[i]] = found->second;
    EXPECT_EQ(ReadCatalog(mo), expected);

    // What gettext wrote back fills the empty column with exactly the same texts.
    const ImportReport report =
        ImportTextsFromFile(back, {column, ExchangeFormat::Po, false, false}, merged);
    EXPECT_TRUE(report.applied);
    EXPECT_EQ(report.Count(ImportOutcome::Added), messages.size());
    EXPECT_EQ(report.entries.size(), english.size());
    EXPECT_EQ(db.QueryText("SELECT count(*) FROM Iso JOIN Back USING (ID) WHERE Iso." + column +
                           " IS NOT Back." + column),
              "0");
  }
}

}  // namespace
}  // namespace orvex::testing
