// CTextTable3 on saved-rows files made from a real SQLite table.
#include "orvex/text_table3.hpp"

#include <gtest/gtest.h>

#include <fstream>

#include "orvex/data.hpp"
#include "support/automation_matchers.hpp"
#include "support/db_providers.hpp"
#include "support/recording_host.hpp"
#include "texttables/sample_texts.hpp"

namespace orvex::testing {
namespace {

class CTextTable3Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ScratchDatabase db(kSqlite);
    db.RunScript(SampleTextsScript(false));
    auto rows = std::make_shared<data::Recordset>();
    rows->Open(Variant("SELECT ID, English, Arabic FROM tt_Messages ORDER BY ID"),
               Variant(db.ConnectionString()));
    rows->Save(file_);
  }
  std::shared_ptr<CTextTable3> NewTable() {
    auto table = std::make_shared<CTextTable3>();
    table->ConnectingString(file_);
    return table;
  }
  // The texts of the IDs in one column of the file as it is now on disk, joined by "|".
  std::string OnDisk(const std::string& language, std::initializer_list<int32_t> ids) {
    auto table = NewTable();
    table->LoadStringsRS("", language);
    std::string texts;
    for (int32_t id : ids) texts += (texts.empty() ? "" : "|") + table->Text(id);
    return texts;
  }

  HostGuard host_;
  TempDir folder_;
  std::string file_ = folder_.File("strings.rows");
};

TEST_F(CTextTable3Test, ReadOnlyByDefault) {
  auto table = NewTable();
  table->LoadStringsRS("ignored");
  EXPECT_EQ(table->Text(1), "File not found");
  EXPECT_EQ(table->Text(6), "Untranslated");
  const std::string before = ReadFile(file_);
  EXPECT_AUTOMATION_ERROR(table->Text(1, "x"), kReadOnlyError,
                          "ORVEX.CTextTable3.Let Text::ORVEX@TESTPC",
                          "Application-defined or object-defined error");
  EXPECT_AUTOMATION_ERROR(table->AddNew("x"), kReadOnlyError,
                          "ORVEX.CTextTable3.AddNew::ORVEX@TESTPC", "");
  table->Save();  // nothing to do, no error
  EXPECT_EQ(ReadFile(file_), before);
  EXPECT_EQ(table->Text(1), "File not found");
}

// Each language is a copy of its own, read from the file and written back whole at Save.
TEST_F(CTextTable3Test, EditsReachTheFileAtSaveFromEachLanguagesOwnCopy) {
  auto table = NewTable();
  table->LoadStringsRS("", "Arabic", false);
  EXPECT_EQ(table->Text(4), "نعم");
  table->Text(2, "الوصول مرفوض");             // behind the cursor
  EXPECT_EQ(table->Text(2), "الوصول مرفوض");  // still loaded, unlike the database table
  EXPECT_EQ(OnDisk("Arabic", {2}), "تم رفض الوصول");
  EXPECT_AUTOMATION_ERROR(table->Text(9, "x"), kAbsentIdError,
                          "ORVEX.CTextTable3.Let Text::ORVEX@TESTPC", "");
  table->LoadStringsRS("", "English", false);  // read from the file, without the Arabic edit
  table->Text(1, "Missing file");
  table->Save();
  EXPECT_EQ(OnDisk("English", {1, 2}), "Missing file|Access denied");
  EXPECT_EQ(OnDisk("Arabic", {2, 6}), "تم رفض الوصول|");

  // Back to the Arabic copy: it kept its edit and never saw the English one; the Null stays Null.
  table->LoadStringsRS("", "Arabic", false);
  table->Save();
  EXPECT_EQ(OnDisk("Arabic", {2, 6}), "الوصول مرفوض|");
  EXPECT_EQ(OnDisk("English", {1, 2}), "File not found|Access denied");

  // Loading the same language read-only again makes the cached, writable copy read-only.
  table->LoadStringsRS("", "Arabic", true);
  EXPECT_EQ(table->Text(2), "الوصول مرفوض");
  EXPECT_AUTOMATION_ERROR(table->Text(2, "y"), kReadOnlyError, "", "");
  const std::string saved = ReadFile(file_);
  table->Save();
  EXPECT_EQ(ReadFile(file_), saved);
}

TEST_F(CTextTable3Test, AddedRowsHaveNoIdAndAreSaved) {
  auto table = NewTable();
  table->LoadStringsRS("", "English", false);
  EXPECT_EQ(table->AddNew("Printer offline"), 0);
  table->Save();

  auto rows = std::make_shared<data::Recordset>();
  rows->Open(Variant(file_));
  EXPECT_EQ(rows->RecordCount(), 8);
  rows->MoveLast();
  EXPECT_TRUE(rows->Fields()->Item("ID")->Value().IsNull() ||
              rows->Fields()->Item("ID")->Value().IsEmpty());
  EXPECT_EQ(CStr(rows->Fields()->Item("English")->Value()), "Printer offline");
}

TEST_F(CTextTable3Test, ALanguageWithoutAColumn) {
  auto table = NewTable();
  table->LoadStringsRS("", "French", false);
  EXPECT_EQ(table->Text(1), "");
  table->Text(1, "x");  // an existing ID: silently nothing
  EXPECT_AUTOMATION_ERROR(table->Text(99, "x"), kAbsentIdError, "", "");
  EXPECT_RAISED(table->AddNew("x"), data::adErrItemNotFound, "ORVEX.CTextTable3.AddNew::");
}

TEST_F(CTextTable3Test, UnloadedAndUnreadableFiles) {
  auto table = NewTable();
  EXPECT_EQ(table->Text(1), "");
  EXPECT_AUTOMATION_ERROR(table->Text(1, "x"), kAbsentIdError,
                          "ORVEX.CTextTable3.Let Text::ORVEX@TESTPC", "");
  EXPECT_AUTOMATION_ERROR(table->AddNew("x"), errObjectNotSet,
                          "ORVEX.CTextTable3.AddNew::ORVEX@TESTPC", "");
  EXPECT_AUTOMATION_ERROR(table->Save(), errObjectNotSet, "ORVEX.CTextTable3.Save::ORVEX@TESTPC",
                          "");

  auto missing = std::make_shared<CTextTable3>();
  missing->ConnectingString(folder_.File("absent.rows"));
  EXPECT_RAISED(missing->LoadStringsRS(""), 0, "ORVEX.CTextTable3.LoadStringsRS");

  std::ofstream(folder_.File("garbage.rows")) << "not a saved record set";
  auto garbage = std::make_shared<CTextTable3>();
  garbage->ConnectingString(folder_.File("garbage.rows"));
  EXPECT_THROW(garbage->LoadStringsRS(""), AutomationError);
  EXPECT_EQ(garbage->Text(1), "");
  // The failed load cached nothing: a good file under the same name then loads.
  std::filesystem::copy_file(file_, folder_.File("garbage.rows"),
                             std::filesystem::copy_options::overwrite_existing);
  garbage->LoadStringsRS("");
  EXPECT_EQ(garbage->Text(5), "No");
}

TEST_F(CTextTable3Test, ShowUsesTheLoadedLanguage) {
  auto table = NewTable();
  table->LoadStringsRS("", "Arabic");
  table->Show(5, 0, Variant("7"));
  ASSERT_EQ(host_->boxes.size(), 1u);
  // The title is Text(7) of a table without ID 7.
  EXPECT_EQ(host_->boxes[0].Text(), "لا|" + std::to_string(0x180000) + "|||0");
}

}  // namespace
}  // namespace orvex::testing
