// Client-side record sets: clones, in-memory edits, write-through and navigation.
#include <gtest/gtest.h>

#include <cmath>

#include "data_fixture.hpp"
#include "support/automation_matchers.hpp"

namespace orvex::testing {
namespace {

using namespace orvex::data;

class RecordsetTest : public DataTest {};

TEST_P(RecordsetTest, ClonesShareRowsAndEditsButKeepTheirOwnCursor) {
  Run({"CREATE TABLE Strings (ID INTEGER, English VARCHAR(50))",
       "INSERT INTO Strings VALUES (1, 'one')", "INSERT INTO Strings VALUES (2, 'two')"});
  auto rs = Query("SELECT ID, English FROM Strings ORDER BY ID", adLockBatchOptimistic);
  auto clone = rs->Clone();
  EXPECT_EQ(clone->LockType(), adLockBatchOptimistic);
  rs->MoveLast();
  EXPECT_EQ(clone->AbsolutePosition(), 1);
  rs->Fields()->Item("English")->Value(Variant("deux"));
  EXPECT_EQ(CStr(rs->Fields()->Item("English")->Value()), "deux") << "the edit reads back at once";
  clone->Find("ID='2'");
  EXPECT_EQ(CStr(clone->Fields()->Item("English")->Value()), "two") << "visible at Update";
  rs->Update();
  EXPECT_EQ(CStr(clone->Fields()->Item("English")->Value()), "deux");
  rs->AddNew();
  rs->Fields()->Item("ID")->Value(Variant(int32_t{3}));
  rs->Update();
  EXPECT_EQ(clone->RecordCount(), 3);

  auto readOnly = rs->Clone(adLockReadOnly);
  EXPECT_AUTOMATION_ERROR(readOnly->Fields()->Item("English")->Value(Variant("x")),
                          adErrFeatureNotAvailable, "ORVEX.Data.Field", "");
  EXPECT_AUTOMATION_ERROR(readOnly->AddNew(), adErrFeatureNotAvailable, "", "");
  rs->Close();
  EXPECT_EQ(CStr(clone->Fields()->Item("English")->Value()), "deux") << "a clone outlives Close";
  EXPECT_AUTOMATION_ERROR(rs->Fields()->Item("English")->Value(), adErrObjectClosed, "", "");
}

TEST_P(RecordsetTest, UpdateWritesThroughOnlyWhenAttachedToAConnection) {
  Run({"CREATE TABLE Errors (ID INTEGER PRIMARY KEY, English VARCHAR(50), Arabic VARCHAR(50))",
       "INSERT INTO Errors VALUES (1, 'one', 'wahid')",
       "INSERT INTO Errors VALUES (2, 'two', 'ithnan')"});
  auto rs = Query("SELECT ID, English as MultilingualString FROM Errors", adLockBatchOptimistic);
  EXPECT_EQ(rs->ActiveConnection(), nullptr);
  rs->Find("ID='2'");
  rs->Fields()->Item("MultilingualString")->Value(Variant("TWO"));
  auto connection = Connect();
  rs->SetActiveConnection(connection);
  rs->Update();
  EXPECT_EQ(rs->AbsolutePosition(), 2) << "the detached set kept its current row";
  rs->AddNew();
  rs->Fields()->Item("ID")->Value(Variant(3));
  rs->Fields()->Item("MultilingualString")->Value(Variant("three"));
  rs->Update();
  rs->SetActiveConnection(nullptr);
  connection->Close();

  rs->MoveFirst();
  rs->Fields()->Item("MultilingualString")->Value(Variant("memory only"));
  rs->Update();
  EXPECT_EQ(Rows("SELECT ID, English, Arabic FROM Errors ORDER BY ID"),
            "1|one|wahid\n2|TWO|ithnan\n3|three|Null\n");
}

TEST_P(RecordsetTest, WriteThroughWithoutAKeyLocatesTheRowByItsOriginalValues) {
  Run({"CREATE TABLE T (ID INTEGER, English VARCHAR(50))", "INSERT INTO T VALUES (1, 'a')",
       "INSERT INTO T VALUES (2, NULL)"});
  auto rs = Query("SELECT ID, English FROM T ORDER BY ID", adLockPessimistic);
  auto connection = Connect();
  rs->SetActiveConnection(connection);
  rs->MoveLast();
  rs->Fields()->Item("English")->Value(Variant("b"));
  rs->Update();
  connection->Execute("UPDATE T SET English = 'changed elsewhere' WHERE ID = 1");
  rs->MoveFirst();
  rs->Fields()->Item("English")->Value(Variant("mine"));
  EXPECT_AUTOMATION_ERROR(rs->Update(), DB_E_ROWNOTFOUND, "ORVEX.Data.Recordset", "");
  EXPECT_EQ(rs->EditMode(), adEditInProgress) << "a failed Update keeps the edit";
  rs->CancelUpdate();
  EXPECT_EQ(CStr(rs->Fields()->Item("English")->Value()), "a");
  EXPECT_EQ(Rows("SELECT English FROM T ORDER BY ID"), "changed elsewhere\nb\n");
}

TEST_P(RecordsetTest, NavigationRespectsTheEndsOfTheRows) {
  Run({"CREATE TABLE T (A INTEGER)", "INSERT INTO T VALUES (1)", "INSERT INTO T VALUES (2)"});
  auto rs = Query("SELECT A FROM T ORDER BY A");
  EXPECT_FALSE(rs->BOF());
  rs->MovePrevious();
  EXPECT_TRUE(rs->BOF());
  EXPECT_EQ(rs->AbsolutePosition(), adPosBOF);
  EXPECT_AUTOMATION_ERROR(rs->Fields()->Item(0)->Value(), adErrNoCurrentRecord, "", "");
  EXPECT_AUTOMATION_ERROR(rs->MovePrevious(), adErrNoCurrentRecord, "", "");
  for (int i = 0; i < 3; ++i) rs->MoveNext();
  EXPECT_TRUE(rs->EOF_());
  EXPECT_AUTOMATION_ERROR(rs->MoveNext(), adErrNoCurrentRecord, "", "");
  EXPECT_AUTOMATION_ERROR(rs->Fields()->Item(1), adErrItemNotFound, "ORVEX.Data.Fields", "");
  EXPECT_AUTOMATION_ERROR(rs->Open(Variant("SELECT 1")), adErrObjectOpen, "", "");
  rs->Close();
  EXPECT_AUTOMATION_ERROR(rs->EOF_(), adErrObjectClosed, "", "");
}

// Not-a-number and the infinities are written as text where the column is text, kept where the
// column can hold them, and overflow where it cannot; never stored as 0 or as NULL.
TEST_P(RecordsetTest, NonFiniteNumbersAreNamedKeptOrRefused) {
  Run({"CREATE TABLE T (ID INTEGER PRIMARY KEY, N INTEGER, S VARCHAR(20), D DOUBLE PRECISION)"});
  auto connection = Connect();
  auto rs = std::make_shared<Recordset>();
  rs->CursorLocation(adUseClient);
  rs->Open(Variant("SELECT * FROM T"), Variant(connection), adOpenStatic, adLockOptimistic);
  int32_t id = 0;
  std::string outcomes;  // D's and N's error numbers, N's description's end
  for (double value : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
    rs->AddNew();
    rs->Fields()->Item("ID")->Value(Variant(++id));
    rs->Fields()->Item("S")->Value(Variant(value));
    rs->Update();
    for (const char* column : {"D", "N"}) {
      try {
        rs->Fields()->Item(column)->Value(Variant(value));
        rs->Update();
        outcomes += "0 ";
      } catch (const AutomationError& raised) {
        const bool named = *column == 'N' && raised.Description.ends_with(": Overflow");
        outcomes += std::to_string(raised.Number) + (named ? "! " : " ");
        rs->CancelUpdate();  // a refused edit is given up
      }
    }
  }
  // D holds it but on SQLite not-a-number; N refuses it as any value out of its range.
  const std::string n = std::to_string(adErrDataConversion) + "! ";
  EXPECT_EQ(outcomes, (Db().IsPostgres() ? "0 " : std::to_string(errOverflow) + " ") + n + "0 " +
                          n + "0 " + n);
  EXPECT_EQ(Rows("SELECT S, D FROM T ORDER BY ID"),
            std::string(Db().IsPostgres() ? "NaN|NaN" : "NaN|Null") +
                "\nInfinity|Infinity\n-Infinity|-Infinity\n");
}

ORVEX_INSTANTIATE_DATABASE_TESTS(RecordsetTest);

}  // namespace
}  // namespace orvex::testing
