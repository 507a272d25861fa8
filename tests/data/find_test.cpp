// Recordset::Find and its kin: the criteria they read, and their index checked against a plain
// scan of the rows through random edits of a set of more rows than one storage block holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

#include "data_fixture.hpp"
#include "support/automation_matchers.hpp"

namespace orvex::testing {
namespace {

using namespace orvex::data;

class FindTest : public DataTest {};

TEST_P(FindTest, ReadsEveryWrittenFormAndRefusesTheRest) {
  Run({"CREATE TABLE T (ID INTEGER, \"Long Name\" VARCHAR(20), Note VARCHAR(20))",
       "INSERT INTO T VALUES (0, 'a', 'plain')", "INSERT INTO T VALUES (2, 'b b', 'it''s')",
       "INSERT INTO T VALUES (3, 'c', 'x=y')", "INSERT INTO T VALUES (4096, 'd', '7')"});
  auto rs = Query("SELECT ID, \"Long Name\", Note FROM T ORDER BY ID");
  const std::pair<const char*, int32_t> cases[] = {
      // criterion, the ID found (-1: none); the closing bracket may be left out
      {"ID='2'", 2},
      {"  [ID] \t=  '3'  ", 3},
      {"id=3", 3},
      {"ID = 0 ", 0},
      {"[ID='2'", 2},
      {"[Long Name]='b b'", 2},
      {"Long Name  = 'c'", 3},
      {"Note='it''s'", 2},
      {"Note='x=y'", 3},
      {"Note=''", -1},
      {"ID='9'", -1},
      // A number in a numeric column in any form strtod reads; a text column compares texts.
      {"ID=' 4096'", 4096},
      {"ID='+4096'", 4096},
      {"ID='4.096e3'", 4096},
      {"ID='0x1000'", 4096},
      {"ID='-0'", 0},
      {"ID='4096.5'", -1},
      {"ID='nan'", -1},
      {"Note='7'", 4096},
      {"Note='07'", -1}};
  for (const auto& [criterion, id] : cases) {
    SCOPED_TRACE(criterion);
    rs->MoveFirst();
    rs->Find(criterion);
    EXPECT_EQ(rs->EOF_() ? -1 : CLng(rs->Fields()->Item("ID")->Value()), id);
  }
  for (const char* refused :
       {"ID > 3", "ID=", "ID='2", "ID='2' x", "ID=a'b", "ID=1 2", "2ID='2'", "='2'", "ID=='2'"}) {
    SCOPED_TRACE(refused);
    EXPECT_AUTOMATION_ERROR(rs->Find(refused), adErrInvalidArgument, "ORVEX.Data.Recordset", "");
  }
  EXPECT_AUTOMATION_ERROR(rs->Find("ID='2'", 0, 0), adErrInvalidArgument, "", "");
  EXPECT_AUTOMATION_ERROR(rs->Find("Nope='3'"), adErrItemNotFound, "ORVEX.Data.Recordset", "");
  EXPECT_AUTOMATION_ERROR(rs->FindValue("Nope", Variant(1)), adErrItemNotFound, "", "");
}

// A row as the scan sees it: the texts of its ID ("" for Null) and of its note.
using Row = std::array<std::string, 2>;

Row RowAt(Recordset& rs) {
  Row row;
  for (int32_t c = 0; c < 2; ++c) {
    const Variant value = rs.Fields()->Item(c)->Value();
    row[c] = value.IsNull() ? "" : CStr(value);
  }
  return row;
}

// Every row of the set, from the first.
std::vector<Row> AllRows(Recordset& rs) {
  std::vector<Row> rows;
  for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) rows.push_back(RowAt(rs));
  return rows;
}

// Places: 0 before the first row, 1..n a row, n + 1 past the last.
void Place(Recordset& rs, int32_t at) {
  if (at > 0 && at <= rs.RecordCount()) {
    rs.AbsolutePosition(at);
    return;
  }
  if (at == 0) {
    rs.MoveFirst();
    rs.MovePrevious();
  } else {
    rs.MoveLast();
    rs.MoveNext();
  }
}

int32_t PlaceOf(Recordset& rs) {
  return rs.BOF() ? 0 : rs.EOF_() ? rs.RecordCount() + 1 : rs.AbsolutePosition();
}

TEST_P(FindTest, AgreesWithAScanThroughRandomEditsAcrossBlocks) {
  // One whole storage block of rows, the last 96 IDs repeating earlier ones.
  Run({"CREATE TABLE T (ID INTEGER, Note VARCHAR(20))",
       "INSERT INTO T (ID, Note) WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n "
       "WHERE i < 4095) SELECT CASE WHEN i < 4000 THEN i ELSE i - 3000 END, "
       "CAST(i % 97 AS VARCHAR(20)) FROM n"});
  auto rs = Query("SELECT ID, Note FROM T", adLockBatchOptimistic);
  auto clone = rs->Clone();  // the same rows and index, a cursor of its own
  std::vector<Row> model = AllRows(*rs);
  ASSERT_EQ(model.size(), 4096u);

  std::mt19937 random(20261205);
  auto pick = [&](int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(random);
  };
  // The first row from `from` on in the direction whose column holds the text, else the place
  // past the end in that direction.
  auto seek = [&](int32_t column, const std::string& text, int32_t from, int32_t direction) {
    const int32_t n = static_cast<int32_t>(model.size());
    for (; from >= 1 && from <= n; from += direction)
      if (model[from - 1][column] == text) return from;
    return direction > 0 ? n + 1 : 0;
  };
  auto check = [&](int32_t step) {
    for (int i = 0; i < 4; ++i) {
      const int32_t column = pick(0, 2) > 0 ? 0 : 1, n = rs->RecordCount();
      // Often an end of the rows, and often the value of a row beside the start or on it.
      const int32_t at = pick(0, 3) > 0 ? pick(1, n) : pick(0, 1) * (n + 1), skip = pick(0, 1);
      const std::string& near = model[std::clamp(at + pick(-2, 2), 1, n) - 1][column];
      const int32_t number = pick(0, 1) && !near.empty() ? std::stoi(near)
                             : column == 1               ? pick(-5, 120)
                             : pick(0, 9) > 0            ? pick(-60, 4200)
                                                         : 1000000000;
      const int32_t direction = pick(0, 1) ? adSearchForward : adSearchBackward;
      const int32_t start = pick(0, 2) > 0 ? adBookmarkCurrent : pick(1, 2);  // First or Last
      const std::string name = column == 0 ? "ID" : "Note", text = std::to_string(number);
      Place(*rs, at);
      if (pick(0, 1))
        rs->Find(name + "='" + text + "'", skip, direction, Variant(start));
      else
        rs->FindValue(name, Variant(number), skip, direction, Variant(start));
      // Where a row-by-row search ends: from the current row (or the first or last), `skip`
      // rows on; at an end with the current row as start, nowhere.
      const int32_t from = start == adBookmarkFirst  ? 1
                           : start == adBookmarkLast ? n
                                                     : std::clamp(at, 1, n);
      const int32_t found = start == adBookmarkCurrent && at == (direction > 0 ? n + 1 : 0)
                                ? at
                                : seek(column, text, from + skip * direction, direction);
      // The text tables' lookup: from the current row on, then once from the top.
      Place(*clone, at);
      const bool wrapped = clone->FindValueWrapping(name, Variant(number));
      int32_t wrap = seek(column, text, std::max(at, 1), adSearchForward);
      if (wrap > n) wrap = seek(column, text, 1, adSearchForward);
      ASSERT_EQ((std::array{PlaceOf(*rs), int32_t{wrapped}, PlaceOf(*clone)}),
                (std::array{found, int32_t{wrap <= n}, wrap}))
          << name << "=" << text << " from " << at << " skip " << skip << " direction " << direction
          << " start " << start << " after step " << step;
    }
  };

  check(-1);
  for (int32_t step = 0; step < 400; ++step) {
    // First an added row given up and one kept, where each opens the second block.
    const int32_t op = step == 0 ? 9 : step == 1 ? 7 : pick(0, 9);
    const int32_t row = pick(1, rs->RecordCount()), id = pick(-50, 4200);
    if (op <= 3) {  // a new ID: a number, a number's text, Null, or far off (no direct table)
      const int32_t choice = pick(0, 19);
      const Variant value = choice == 0                 ? Variant::Null()
                            : choice == 1 && step > 200 ? Variant(int32_t{1000000000})
                            : choice < 5                ? Variant(std::to_string(id))
                                                        : Variant(id);
      rs->AbsolutePosition(row);
      rs->Fields()->Item("ID")->Value(value);
      rs->Update();
      model[row - 1][0] = value.IsNull() ? "" : CStr(value);
      ASSERT_EQ(rs->Fields()->Item("ID")->Value().VarType(), value.IsNull() ? vbNull : vbLong)
          << "stored as the column's type";
    } else if (op <= 5) {  // a new note, committed by Update or by the search that follows
      const std::string note = std::to_string(id % 120);
      rs->AbsolutePosition(row);
      rs->Fields()->Item("Note")->Value(Variant(note));
      op == 4 ? rs->Update() : rs->FindValue("Note", Variant(note));
      ASSERT_EQ(rs->AbsolutePosition(), row);
      model[row - 1][1] = note;
      ASSERT_EQ(CStr(rs->Fields()->Item("Note")->OriginalValue()), note);
    } else if (op <= 7) {  // an added row
      rs->AddNew();
      rs->Fields()->Item("ID")->Value(Variant(id));
      rs->Fields()->Item("Note")->Value(Variant(std::to_string(id % 97)));
      rs->Update();
      model.push_back({std::to_string(id), std::to_string(id % 97)});
    } else {  // an edit given up, or an added row (which leaves the set on the last row)
      op == 8 ? rs->AbsolutePosition(row) : rs->AddNew();
      rs->Fields()->Item("ID")->Value(Variant(id));
      rs->CancelUpdate();
      ASSERT_EQ(RowAt(*rs), op == 8 ? model[row - 1] : model.back());
    }
    ASSERT_EQ(rs->RecordCount(), static_cast<int32_t>(model.size()));
    check(step);
  }

  // Every row is as the scan saw it, and so in a saved copy (saved again over the file it was
  // opened from), whose new index agrees too.
  const std::string path = folder_.File("edited.rows");
  rs->Save(path);
  OpenSaved(path)->Save(path);
  for (const auto& set : {rs, OpenSaved(path)}) ASSERT_TRUE(AllRows(*set) == model);
  rs = OpenSaved(path);
  clone = rs->Clone();
  check(400);
}

ORVEX_INSTANTIATE_DATABASE_TESTS(FindTest);

}  // namespace
}  // namespace orvex::testing
