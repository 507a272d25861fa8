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

const std::string kLet3 = "ORVEX.CTextTable3.Let Text::ORVEX@TESTPC";
const std::string kAdd3 = "ORVEX.CTextTable3.AddNew::ORVEX@TESTPC";

// What a table read-only, not loaded, or of a language without a column refuses.
TEST_F(CTextTable3Test, ReadOnlyUnloadedAndColumnlessTablesRefuseEdits) {
  auto readOnly = NewTable(), unloaded = NewTable(), french = NewTable();
  readOnly->LoadStringsRS("ignored");
  french->LoadStringsRS("", "French", false);
  EXPECT_RAISED(readOnly->Text(1, "x"), kReadOnlyError, kLet3);
  EXPECT_RAISED(readOnly->AddNew("x"), kReadOnlyError, kAdd3);
  EXPECT_RAISED(unloaded->Text(1, "x"), kAbsentIdError, kLet3);
  EXPECT_RAISED(unloaded->AddNew("x"), errObjectNotSet, kAdd3);
  EXPECT_RAISED(unloaded->Save(), errObjectNotSet, "ORVEX.CTextTable3.Save::ORVEX@TESTPC");
  EXPECT_RAISED(french->Text(99, "x"), kAbsentIdError, kLet3);
  EXPECT_RAISED(french->AddNew("x"), data::adErrItemNotFound, "ORVEX.CTextTable3.AddNew::");
  french->Text(1, "x");  // an existing ID: silently nothing
  const std::string before = ReadFile(file_);
  readOnly->Save();  // nothing to do, no error
  EXPECT_EQ(ReadFile(file_), before);
  EXPECT_EQ(
      readOnly->Text(1) + "|" + readOnly->Text(6) + "|" + unloaded->Text(1) + "|" + french->Text(1),
      "File not found|Untranslated||");
}

// Each language is a copy of its own, read from the file and written back whole at Save.
TEST_F(CTextTable3Test, EditsReachTheFileAtSaveFromEachLanguagesOwnCopy) {
  auto table = NewTable();
  table->LoadStringsRS("", "Arabic", false);
  EXPECT_EQ(table->Text(4), "نعم");
  table->Text(2, "الوصول مرفوض");             // behind the cursor
  EXPECT_EQ(table->Text(2), "الوصول مرفوض");  // still loaded, unlike the database table
  EXPECT_EQ(OnDisk("Arabic", {2}), "تم رفض الوصول");
  EXPECT_RAISED(table->Text(9, "x"), kAbsentIdError, kLet3);
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
  EXPECT_RAISED(table->Text(2, "y"), kReadOnlyError, kLet3);
  const std::string saved = ReadFile(file_);
  table->Save();
  EXPECT_EQ(ReadFile(file_), saved);
  // Show takes the loaded language; the title is Text(7) of a table without ID 7.
  table->Show(5, 0, Variant("7"));
  EXPECT_EQ(host_->BoxesText(), "لا|" + std::to_string(0x180000) + "|||0\n");
}

TEST_F(CTextTable3Test, AddedRowsHaveNoIdAndAreSaved) {
  auto table = NewTable();
  table->LoadStringsRS("", "English", false);
  EXPECT_EQ(table->AddNew("Printer offline"), 0);
  table->Save();

  data::Recordset rows;
  rows.Open(Variant(file_));
  EXPECT_EQ(rows.RecordCount(), 8);
  rows.MoveLast();
  const Variant id = rows.Fields()->Item("ID")->Value();
  EXPECT_TRUE(id.IsNull() || id.IsEmpty());
  EXPECT_EQ(CStr(rows.Fields()->Item("English")->Value()), "Printer offline");
}

TEST_F(CTextTable3Test, AnUnreadableFileRaisesAndIsNotCached) {
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

}  // namespace
}  // namespace orvex::testing
