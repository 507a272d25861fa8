// Record sets of more rows than one storage block holds: finding, editing, adding and giving up
// rows across block edges, and numbers written in any form C reads.
#include <gtest/gtest.h>

#include "data_fixture.hpp"
#include "support/automation_matchers.hpp"

namespace orvex::testing {
namespace {

using namespace orvex::data;

constexpr int32_t kRows = 8192;  // two whole blocks

class LargeRecordsetTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Run({"CREATE TABLE T (ID INTEGER PRIMARY KEY, Note VARCHAR(40))",
         "INSERT INTO T (ID, Note) WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n "
         "WHERE i < " +
             std::to_string(kRows - 1) + ") SELECT i, 'note ' || i FROM n"});
  }

  // The ID of the row Find reaches from the first row, or -1 past the end.
  static int32_t FoundId(Recordset& rs, const std::string& criterion) {
    rs.MoveFirst();
    rs.Find(criterion);
    return rs.EOF_() ? -1 : CLng(rs.Fields()->Item("ID")->Value());
  }
};

TEST_P(LargeRecordsetTest, FindsRowsInEveryBlockByAnyWrittenNumber) {
  auto rs = Query("SELECT ID, Note FROM T ORDER BY ID");
  EXPECT_EQ(rs->RecordCount(), kRows);
  EXPECT_EQ(FoundId(*rs, "ID='8191'"), 8191);
  EXPECT_EQ(CStr(rs->Fields()->Item("Note")->Value()), "note 8191");
  EXPECT_EQ(FoundId(*rs, "ID='4096'"), 4096);
  EXPECT_EQ(FoundId(*rs, "ID='4095'"), 4095);
  // The same number in the forms strtod reads: blanks, sign, exponent, hexadecimal, zero's sign.
  EXPECT_EQ(FoundId(*rs, "ID=' 4096'"), 4096);
  EXPECT_EQ(FoundId(*rs, "ID='+4096'"), 4096);
  EXPECT_EQ(FoundId(*rs, "ID='4.096e3'"), 4096);
  EXPECT_EQ(FoundId(*rs, "ID='0x1000'"), 4096);
  EXPECT_EQ(FoundId(*rs, "ID='-0'"), 0);
  EXPECT_EQ(FoundId(*rs, "ID='4096.5'"), -1);
  EXPECT_EQ(FoundId(*rs, "ID='nan'"), -1);
  EXPECT_EQ(FoundId(*rs, "ID='8192'"), -1);
  // A text column compares the texts as they stand.
  EXPECT_EQ(FoundId(*rs, "Note='note 5000'"), 5000);
  EXPECT_EQ(FoundId(*rs, "Note='note 05000'"), -1);
  // Backward from the last row.
  rs->MoveLast();
  rs->Find("ID='17'", 0, adSearchBackward);
  ASSERT_FALSE(rs->BOF());
  EXPECT_EQ(CLng(rs->Fields()->Item("ID")->Value()), 17);
}

TEST_P(LargeRecordsetTest, EditsAndAddedRowsAcrossBlockEdgesKeepTheIndexRight) {
  auto connection = Connect();
  auto rs = std::make_shared<Recordset>();
  rs->CursorLocation(adUseClient);
  rs->LockType(adLockOptimistic);
  rs->Open(Variant("SELECT ID, Note FROM T ORDER BY ID"), Variant(connection), adOpenStatic);

  ASSERT_EQ(FoundId(*rs, "ID='6000'"), 6000);
  rs->Fields()->Item("Note")->Value(Variant("changed"));
  EXPECT_EQ(CStr(rs->Fields()->Item("Note")->OriginalValue()), "note 6000");
  rs->Update();
  EXPECT_EQ(CStr(rs->Fields()->Item("Note")->OriginalValue()), "changed");
  EXPECT_EQ(FoundId(*rs, "Note='changed'"), 6000);
  EXPECT_EQ(FoundId(*rs, "Note='note 6000'"), -1);

  // A row added after two whole blocks starts a third; giving it up leaves the set as it was.
  rs->AddNew();
  rs->Fields()->Item("ID")->Value(Variant(int32_t{9000}));
  rs->CancelUpdate();
  EXPECT_EQ(rs->RecordCount(), kRows);
  EXPECT_EQ(FoundId(*rs, "ID='9000'"), -1);
  rs->MoveLast();
  EXPECT_EQ(CLng(rs->Fields()->Item("ID")->Value()), kRows - 1);

  rs->AddNew();
  rs->Fields()->Item("ID")->Value(Variant(int32_t{9000}));
  rs->Fields()->Item("Note")->Value(Variant("added"));
  rs->Update();
  EXPECT_EQ(rs->RecordCount(), kRows + 1);
  EXPECT_EQ(FoundId(*rs, "ID='9000'"), 9000);
  EXPECT_EQ(CStr(rs->Fields()->Item("Note")->Value()), "added");
  rs->SetActiveConnection(nullptr);
  connection->Close();

  // Both changes reached the database, and a saved copy opens with every row.
  auto again = Query("SELECT ID, Note FROM T ORDER BY ID");
  EXPECT_EQ(again->RecordCount(), kRows + 1);
  EXPECT_EQ(FoundId(*again, "Note='changed'"), 6000);
  std::string path = folder_.File("large.rows");
  again->Save(path);
  auto reopened = std::make_shared<Recordset>();
  reopened->Open(Variant(path), Variant::Missing(), -1, -1, -1);
  EXPECT_EQ(reopened->RecordCount(), kRows + 1);
  EXPECT_EQ(FoundId(*reopened, "ID='9000'"), 9000);
  EXPECT_EQ(CStr(reopened->Fields()->Item("Note")->Value()), "added");
}

ORVEX_INSTANTIATE_DATABASE_TESTS(LargeRecordsetTest);

}  // namespace
}  // namespace orvex::testing
