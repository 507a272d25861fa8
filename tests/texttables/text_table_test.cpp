// CTextTable on a real database: loading per language with the cache, lookups, edits written
// through to the table, TextE and Show.
#include "orvex/text_table.hpp"

#include <gtest/gtest.h>

#include "orvex/data.hpp"
#include "orvex/modules.hpp"
#include "support/automation_matchers.hpp"
#include "support/db_providers.hpp"
#include "support/recording_host.hpp"
#include "texttables/sample_texts.hpp"

namespace orvex::testing {
namespace {

const std::string kLet = "ORVEX.CTextTable.Let Text::ORVEX@TESTPC";
const std::string kAdd = "ORVEX.CTextTable.AddNew::ORVEX@TESTPC";

class CTextTableTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Db().RunScript(SampleTextsScript(Db().IsPostgres()));
  }
  std::shared_ptr<CTextTable> NewTable() {
    auto table = std::make_shared<CTextTable>();
    table->ConnectingString(Db().ConnectionString());
    return table;
  }
  // The texts of the IDs read one after another, joined by "|".
  static std::string Reads(CTextTable& table, std::initializer_list<int32_t> ids) {
    std::string texts;
    for (int32_t id : ids) texts += (texts.empty() ? "" : "|") + table.Text(id);
    return texts;
  }
  std::string Stored(const std::string& column, int32_t id) {
    return Db().QueryText("SELECT COALESCE(" + column +
                          ", '<none>') FROM tt_Messages WHERE ID = " + std::to_string(id));
  }

  HostGuard host_;
};

TEST_P(CTextTableTest, LoadsTheLanguageColumnAsAskedAndAFailedLoadCachesNothing) {
  auto table = NewTable();
  EXPECT_EQ(table->Text(1), "");  // nothing loaded yet, and no error

  table->LoadStringsRS("tt_Messages");
  EXPECT_EQ(table->Text(1), "File not found");
  // Read-only by default: an edit is refused before anything is looked up.
  EXPECT_AUTOMATION_ERROR(table->Text(1, "x"), kReadOnlyError, kLet,
                          "Application-defined or object-defined error");
  EXPECT_RAISED(table->AddNew("x"), kReadOnlyError, kAdd);

  auto arabic = NewTable();
  arabic->LoadStringsRS("tt_Messages", "Arabic", false);
  EXPECT_EQ(arabic->Text(1), "الملف غير موجود");
  // Writable: an absent ID is the only refusal left.
  EXPECT_RAISED(arabic->Text(99, "x"), kAbsentIdError, kLet);

  // A failed load raises with its source and unloads the table.
  EXPECT_RAISED(table->LoadStringsRS("tt_Messages", "French"), 0,
                "ORVEX.CTextTable.LoadStringsRS::");
  EXPECT_EQ(table->Text(1), "");  // unloaded
  EXPECT_RAISED(table->Text(1, "x"), errObjectNotSet, kLet);

  // No entry was cached for the failed language: once the column exists, it loads.
  Db().RunScript(
      "ALTER TABLE tt_Messages ADD COLUMN French TEXT;"
      "UPDATE tt_Messages SET French = 'Fichier introuvable' WHERE ID = 1");
  table->LoadStringsRS("tt_Messages", "French");
  EXPECT_EQ(table->Text(1), "Fichier introuvable");
}

TEST_P(CTextTableTest, TheCacheServesALanguageAgainWithoutAQuery) {
  auto table = NewTable();
  table->LoadStringsRS("tt_Messages", "English");
  table->Text(3);  // move the cursor away from the first row
  Db().RunScript("DROP TABLE tt_Messages");

  // Same language, another (missing) table and another lock mode: served from the cache, with
  // the lock mode of the first load.
  table->LoadStringsRS("tt_Nowhere", "English", false);
  EXPECT_EQ(table->Text(2), "Access denied");
  EXPECT_RAISED(table->Text(2, "x"), kReadOnlyError, kLet);

  // The key is case-sensitive: "english" is another language, and its query meets the dropped
  // table.
  EXPECT_RAISED(table->LoadStringsRS("tt_Messages", "english"), 0,
                "ORVEX.CTextTable.LoadStringsRS");
  table->LoadStringsRS("tt_Messages");  // no language: English, still cached
  EXPECT_EQ(table->Text(5), "No");

  // Another object has its own cache.
  auto other = NewTable();
  EXPECT_THROW(other->LoadStringsRS("tt_Messages"), AutomationError);
}

// The language names any column, so one load may read its texts from another column than the
// last load did, and find numbers there; the second round is served from the cache.
TEST_P(CTextTableTest, EachLoadIsReadFromItsOwnColumnAndLookupsWrapToTheTop) {
  auto table = NewTable();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    table->LoadStringsRS("tt_Messages", "English");
    EXPECT_EQ(Reads(*table, {5, -3}), "No|Minus three");
    // 2 is behind the cursor (found after the wrap), 9 absent after a full search, 6 Null.
    table->LoadStringsRS("tt_Messages", "Arabic");
    EXPECT_EQ(Reads(*table, {4, 2, 9, 5, 1, 6, -3, 3}),
              "نعم|تم رفض الوصول||لا|الملف غير موجود||سالب ثلاثة|القرص ممتلئ");
    table->LoadStringsRS("tt_Messages", "ID");
    EXPECT_EQ(Reads(*table, {3, -3}), "3|-3");
  }
}

// A table the client made may hold an ID on several rows: each read searches on from the row the
// last one found (that row first), wrapping once to the top, as a search by criterion does.
TEST_P(CTextTableTest, AnIdOnSeveralRowsIsSearchedForFromTheRowLastFound) {
  Db().RunScript(
      "CREATE TABLE tt_Repeated (ID INTEGER, English TEXT, Arabic TEXT);"
      "INSERT INTO tt_Repeated (ID, English) VALUES (1, 'first'), (2, 'two'), (1, 'again'), "
      "(3, 'three'), (5, 'five')");
  auto table = NewTable();
  table->LoadStringsRS("tt_Repeated", "English");
  // A load leaves the cursor on the first row; with none after the cursor the search starts from
  // the top; a miss (9, or 4 between the IDs held) leaves the cursor past the end.
  EXPECT_EQ(Reads(*table, {1, 2, 1, 1, 3, 1, 9, 1, 2, 4, 1, 5, 1}),
            "first|two|again|again|three|first||first|two||first|five|first");
}

TEST_P(CTextTableTest, ALookupFirstCommitsTheRowAFailedAddNewLeft) {
  Db().RunScript(
      "CREATE TABLE tt_Short (ID INTEGER, English TEXT CHECK (length(English) < 8), Arabic TEXT);"
      "INSERT INTO tt_Short (ID, English) VALUES (1, 'one'), (2, 'two'), (3, 'three')");
  auto table = NewTable();
  table->LoadStringsRS("tt_Short", "English", false);
  EXPECT_EQ(table->Text(2), "two");
  AutomationError refused = CatchAutomationError([&] { table->AddNew("far too long"); });
  EXPECT_NE(refused.Number, 0);
  // Each search first commits the waiting row; while the table refuses it the cursor cannot
  // leave the new row, and the text read is the one waiting there.
  EXPECT_EQ(table->Text(3), "far too long");
  EXPECT_EQ(table->Text(1), "far too long");
}

TEST_P(CTextTableTest, AnEditIsWrittenToTheTableAndUnloadsIt) {
  auto table = NewTable();
  table->LoadStringsRS("tt_Messages", "Arabic", false);
  EXPECT_EQ(table->Text(4), "نعم");
  table->Text(2, "الوصول مرفوض");  // behind the cursor
  EXPECT_EQ(Stored("Arabic", 2), "الوصول مرفوض");
  EXPECT_EQ(Stored("English", 2), "Access denied");
  EXPECT_EQ(table->Text(2) + table->Text(4), "");  // unloaded until the next load
  EXPECT_RAISED(table->Text(2, "y"), errObjectNotSet, kLet);
  EXPECT_RAISED(table->AddNew("y"), errObjectNotSet, kAdd);

  auto english = NewTable();
  english->LoadStringsRS("tt_Messages", "", false);
  EXPECT_EQ(english->AddNew("Printer offline"), 0);
  EXPECT_EQ(english->Text(1), "");  // unloaded
  // One row, its ID supplied by the database, no Arabic.
  EXPECT_EQ(Db().QueryText("SELECT COUNT(*) || '|' || COUNT(Arabic) FROM tt_Messages "
                           "WHERE English = 'Printer offline' AND ID > 6"),
            "1|0");

  // A fresh load reads the database again and sees both changes.
  auto fresh = NewTable();
  fresh->LoadStringsRS("tt_Messages", "Arabic");
  EXPECT_EQ(fresh->Text(2), "الوصول مرفوض");
}

TEST_P(CTextTableTest, TextEReadsAndWritesLanguageStringsDirectly) {
  auto table = NewTable();
  EXPECT_EQ(table->TextE("Arabic", 2) + "|" + table->TextE("English", 1) + "|" +
                table->TextE("English", 99) + "|" + table->Text(1),  // TextE loads nothing
            "إلغاء|Save||");

  table->TextE("English", 2, "Abort");
  EXPECT_EQ(Db().QueryText("SELECT English FROM LanguageStrings WHERE ID = 2"), "Abort");
  EXPECT_EQ(table->TextE("English", 2), "Abort");
  table->TextE("English", 99, "x");  // absent: nothing changes, no error
  EXPECT_EQ(Db().CountRows("LanguageStrings"), 2);

  EXPECT_RAISED((void)table->TextE("", 1), 0, "ORVEX.CTextTable.Get TextE::");
  EXPECT_RAISED((void)table->TextE("French", 1), 0, "ORVEX.CTextTable.Get TextE");
  EXPECT_RAISED(table->TextE("French", 1, "x"), 0, "ORVEX.CTextTable.let TextE");
}

TEST_P(CTextTableTest, ShowLaysArabicOutRightToLeft) {
  auto table = NewTable();
  table->LoadStringsRS("tt_Messages", "Arabic");
  host_->answers = {6};
  EXPECT_EQ(table->Show(1, 64, Variant(int32_t{3}), "help.chm", 12), 6);
  EXPECT_EQ(host_->BoxesText(),
            "الملف غير موجود|" + std::to_string(64 + 0x180000) + "|القرص ممتلئ|help.chm|12\n");

  EXPECT_RAISED(table->Show(1, 2145910784), errOverflow, "ORVEX.CTextTable.Show::");
}

ORVEX_INSTANTIATE_DATABASE_TESTS(CTextTableTest);

}  // namespace
}  // namespace orvex::testing
