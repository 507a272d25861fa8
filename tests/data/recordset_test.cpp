// Client-side record sets: indexed Find, clones, in-memory edits and write-through.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "data_fixture.hpp"
#include "support/automation_matchers.hpp"

namespace orvex::testing {
namespace {

using namespace orvex::data;

class RecordsetTest : public DataTest {};

// Where a linear forward search for `id` from `from` (inclusive) ends: a row index, or -1.
int64_t LinearFind(const std::vector<int32_t>& ids, int32_t id, int64_t from) {
  for (int64_t i = from; i >= 0 && i < static_cast<int64_t>(ids.size()); ++i)
    if (ids[i] == id) return i;
  return -1;
}

TEST_P(RecordsetTest, FindWithWrapMovesExactlyAsALinearSearchOverRepeatedIds) {
  std::vector<int32_t> ids;
  std::vector<std::string> inserts = {
      "CREATE TABLE Strings (Seq INTEGER, ID INTEGER, English "
      "VARCHAR(50))"};
  uint32_t seed = 12345;
  for (int i = 0; i < 300; ++i) {
    seed = seed * 1103515245u + 12345u;
    ids.push_back(static_cast<int32_t>((seed >> 16) % 40));  // ids repeat, some never occur
    inserts.push_back("INSERT INTO Strings VALUES (" + std::to_string(i) + ", " +
                      std::to_string(ids.back()) + ", 'text')");
  }
  Run(inserts);
  auto rs = Query("SELECT ID, English FROM Strings ORDER BY Seq");
  ASSERT_EQ(rs->RecordCount(), 300);
  // A clone (same rows, a cursor of its own) takes the one-search form of the same lookup.
  auto wrapping = rs->Clone();

  int64_t cursor = 0;  // the reference cursor; -1 stands for EOF
  for (int step = 0; step < 400; ++step) {
    seed = seed * 1103515245u + 12345u;
    int32_t id = static_cast<int32_t>((seed >> 16) % 45);
    std::string criterion =
        step % 2 ? "ID='" + std::to_string(id) + "'" : "ID=" + std::to_string(id);
    SCOPED_TRACE("step " + std::to_string(step) + ": " + criterion);
    // The text tables' lookup: forward from the current row, then once from the top.
    rs->Find(criterion, 0, adSearchForward);
    cursor = cursor < 0 ? -1 : LinearFind(ids, id, cursor);
    ASSERT_EQ(rs->EOF_(), cursor < 0);
    if (rs->EOF_()) {
      rs->MoveFirst();
      rs->Find(criterion, 0, adSearchForward);
      cursor = LinearFind(ids, id, 0);
    }
    ASSERT_EQ(rs->EOF_(), cursor < 0);
    ASSERT_EQ(wrapping->FindValueWrapping("id", Variant(id)), cursor >= 0);
    ASSERT_EQ(wrapping->AbsolutePosition(), rs->AbsolutePosition());
    if (cursor >= 0) {
      ASSERT_EQ(rs->AbsolutePosition(), cursor + 1);
      ASSERT_EQ(CLng(rs->Fields()->Item("id")->Value()), id);
    } else {
      EXPECT_EQ(rs->AbsolutePosition(), adPosEOF);
      rs->Find(criterion);  // a search that starts past the end finds nothing
      EXPECT_TRUE(rs->EOF_());
    }
  }
  rs->MoveLast();
  rs->Find("ID='" + std::to_string(ids[0]) + "'", 0, adSearchBackward);
  EXPECT_FALSE(rs->BOF());
  EXPECT_EQ(rs->AbsolutePosition(),
            static_cast<int32_t>(std::find(ids.rbegin(), ids.rend(), ids[0]).base() - ids.begin()));
  EXPECT_AUTOMATION_ERROR(rs->Find("ID > 3"), adErrInvalidArgument, "ORVEX.Data.Recordset", "");
  EXPECT_AUTOMATION_ERROR(rs->Find("Nope='3'"), adErrItemNotFound, "", "");
}

// IDs that occur once are found through the index's direct table; the wrap must still reach
// one before the cursor, from a row, from past the end and from before the start.
TEST_P(RecordsetTest, FindWithWrapReachesAUniqueIdOnEitherSideOfTheCursor) {
  std::vector<std::string> setup = {"CREATE TABLE Strings (ID INTEGER, English VARCHAR(50))"};
  for (int32_t id = 1; id <= 50; ++id)
    setup.push_back("INSERT INTO Strings VALUES (" + std::to_string(id) + ", 't')");
  Run(setup);
  auto rs = Query("SELECT ID, English FROM Strings ORDER BY ID");
  rs->AbsolutePosition(40);
  EXPECT_TRUE(rs->FindValueWrapping("ID", Variant(5)));
  EXPECT_EQ(rs->AbsolutePosition(), 5);
  EXPECT_TRUE(rs->FindValueWrapping("ID", Variant(45)));
  EXPECT_EQ(rs->AbsolutePosition(), 45);
  EXPECT_TRUE(rs->FindValueWrapping("ID", Variant(45))) << "the current row itself";
  EXPECT_EQ(rs->AbsolutePosition(), 45);
  EXPECT_FALSE(rs->FindValueWrapping("ID", Variant(99)));
  EXPECT_TRUE(rs->EOF_());
  EXPECT_TRUE(rs->FindValueWrapping("ID", Variant(1))) << "from past the end";
  EXPECT_EQ(rs->AbsolutePosition(), 1);
  rs->MoveFirst();
  rs->MovePrevious();
  ASSERT_TRUE(rs->BOF());
  EXPECT_TRUE(rs->FindValueWrapping("ID", Variant(50))) << "from before the start";
  EXPECT_EQ(rs->AbsolutePosition(), 50);
}

TEST_P(RecordsetTest, FindFollowsEditsAndAddedRows) {
  Run({"CREATE TABLE Strings (ID INTEGER, English VARCHAR(50))",
       "INSERT INTO Strings VALUES (1, 'one')", "INSERT INTO Strings VALUES (2, 'two')",
       "INSERT INTO Strings VALUES (3, 'three')"});
  auto rs = Query("SELECT ID, English FROM Strings ORDER BY ID", adLockBatchOptimistic);
  rs->Find("ID='1'");  // builds the index before the edits
  rs->Find("ID='2'");
  rs->Fields()->Item("ID")->Value(Variant(int32_t{9}));
  rs->Update();
  rs->MoveFirst();
  rs->Find("ID='2'");
  EXPECT_TRUE(rs->EOF_());
  rs->MoveFirst();
  rs->Find("ID='9'");
  EXPECT_EQ(rs->AbsolutePosition(), 2);
  rs->AddNew();
  rs->Fields()->Item("ID")->Value(Variant("2"));
  rs->Fields()->Item("English")->Value(Variant("new two"));
  rs->Update();
  EXPECT_EQ(rs->RecordCount(), 4);
  rs->MoveFirst();
  rs->Find("ID='2'");
  EXPECT_EQ(rs->AbsolutePosition(), 4);
  EXPECT_EQ(CStr(rs->Fields()->Item("english")->Value()), "new two");
  EXPECT_EQ(rs->Fields()->Item("ID")->Value().VarType(), vbLong) << "stored as the column's type";
}

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
  Run(
      {"CREATE TABLE Errors (ID INTEGER PRIMARY KEY, English VARCHAR(50), Arabic "
       "VARCHAR(50))",
       "INSERT INTO Errors VALUES (1, 'one', 'wahid')",
       "INSERT INTO Errors VALUES (2, 'two', "
       "'ithnan')"});
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

  auto fresh = Query("SELECT ID, English, Arabic FROM Errors ORDER BY ID");
  ASSERT_EQ(fresh->RecordCount(), 3);
  auto fields = fresh->Fields();
  EXPECT_EQ(CStr(fields->Item("English")->Value()), "one");
  fresh->MoveNext();
  EXPECT_EQ(CStr(fields->Item("English")->Value()), "TWO");
  EXPECT_EQ(CStr(fields->Item("Arabic")->Value()), "ithnan");
  fresh->MoveNext();
  EXPECT_EQ(CStr(fields->Item("English")->Value()), "three");
  EXPECT_EQ(CLng(fields->Item("ID")->Value()), 3);
  EXPECT_TRUE(fields->Item("Arabic")->Value().IsNull());
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
  auto fresh = Query("SELECT English FROM T ORDER BY ID");
  fresh->MoveLast();
  EXPECT_EQ(CStr(fresh->Fields()->Item(0)->Value()), "b");
}

TEST_P(RecordsetTest, NavigationRespectsTheEndsOfTheRows) {
  Run({"CREATE TABLE T (A INTEGER)", "INSERT INTO T VALUES (1)", "INSERT INTO T VALUES (2)"});
  auto rs = Query("SELECT A FROM T ORDER BY A");
  EXPECT_EQ(rs->LockType(), adLockReadOnly);
  EXPECT_EQ(rs->CursorLocation(), adUseClient);
  EXPECT_FALSE(rs->BOF());
  rs->MovePrevious();
  EXPECT_TRUE(rs->BOF());
  EXPECT_EQ(rs->AbsolutePosition(), adPosBOF);
  EXPECT_AUTOMATION_ERROR(rs->Fields()->Item(0)->Value(), adErrNoCurrentRecord, "", "");
  EXPECT_AUTOMATION_ERROR(rs->MovePrevious(), adErrNoCurrentRecord, "", "");
  rs->MoveNext();
  rs->MoveNext();
  rs->MoveNext();
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
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double value;
    const char* text;
  } cases[] = {{nan, "NaN"}, {inf, "Infinity"}, {-inf, "-Infinity"}};
  auto connection = Connect();
  auto rs = std::make_shared<Recordset>();
  rs->CursorLocation(adUseClient);
  rs->Open(Variant("SELECT * FROM T"), Variant(connection), adOpenStatic, adLockOptimistic);
  int32_t id = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    rs->AddNew();
    rs->Fields()->Item("ID")->Value(Variant(++id));
    rs->Fields()->Item("S")->Value(Variant(c.value));
    rs->Update();
    // The error number of setting a column to the value and updating (0: none), and the edit
    // given up when it failed.
    auto store = [&](const char* column) -> AutomationError {
      try {
        rs->Fields()->Item(column)->Value(Variant(c.value));
        rs->Update();
        return AutomationError(0);
      } catch (const AutomationError& error) {
        rs->CancelUpdate();
        return error;
      }
    };
    // SQLite keeps the infinities in a floating-point column, but not not-a-number.
    const bool held = Db().IsPostgres() || !std::isnan(c.value);
    const AutomationError real = store("D");
    EXPECT_EQ(real.Number, held ? 0 : errOverflow) << real.Description;
    const AutomationError integer = store("N");
    // As any value out of an integer column's range: the field's conversion error, overflow.
    EXPECT_EQ(integer.Number, adErrDataConversion);
    EXPECT_TRUE(integer.Description.ends_with(": Overflow")) << integer.Description;
  }
  auto back = Query("SELECT S, D FROM T ORDER BY ID");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CStr(back->Fields()->Item("S")->Value()), c.text);
    const Variant stored = back->Fields()->Item("D")->Value();
    if (Db().IsPostgres() || !std::isnan(c.value)) {
      EXPECT_EQ(CStr(stored), c.text);
    }
    back->MoveNext();
  }
}

ORVEX_INSTANTIATE_DATABASE_TESTS(RecordsetTest);

}  // namespace
}  // namespace orvex::testing
