// The criteria that Recordset::Find reads: brackets, blanks, quoted and unquoted values, and the
// texts it refuses.
#include <gtest/gtest.h>

#include "data_fixture.hpp"
#include "support/automation_matchers.hpp"

namespace orvex::testing {
namespace {

using namespace orvex::data;

class FindCriterionTest : public DataTest {};

TEST_P(FindCriterionTest, ReadsEveryWrittenFormAndRefusesTheRest) {
  Run({"CREATE TABLE T (ID INTEGER, \"Long Name\" VARCHAR(20), Note VARCHAR(20))",
       "INSERT INTO T VALUES (1, 'a', 'plain')", "INSERT INTO T VALUES (2, 'b b', 'it''s')",
       "INSERT INTO T VALUES (3, 'c', 'x=y')"});
  auto rs = Query("SELECT ID, \"Long Name\", Note FROM T ORDER BY ID");
  auto foundId = [&](const std::string& criterion) {
    rs->MoveFirst();
    rs->Find(criterion);
    return rs->EOF_() ? -1 : CLng(rs->Fields()->Item("ID")->Value());
  };
  EXPECT_EQ(foundId("ID='2'"), 2);
  EXPECT_EQ(foundId("  [ID] \t=  '3'  "), 3);
  EXPECT_EQ(foundId("id=3"), 3);
  EXPECT_EQ(foundId("ID = 1 "), 1);
  EXPECT_EQ(foundId("[Long Name]='b b'"), 2);
  EXPECT_EQ(foundId("Long Name  = 'c'"), 3);
  EXPECT_EQ(foundId("Note='it''s'"), 2);
  EXPECT_EQ(foundId("Note='x=y'"), 3);
  EXPECT_EQ(foundId("Note=''"), -1);
  EXPECT_EQ(foundId("ID='9'"), -1);
  EXPECT_EQ(foundId("[ID='2'"), 2);  // the closing bracket may be left out

  for (const char* refused :
       {"ID > 3", "ID=", "ID='2", "ID='2' x", "ID=a'b", "ID=1 2", "2ID='2'", "='2'", "ID=='2'"}) {
    SCOPED_TRACE(refused);
    EXPECT_AUTOMATION_ERROR(rs->Find(refused), adErrInvalidArgument, "ORVEX.Data.Recordset", "");
  }
}

TEST_P(FindCriterionTest, FindValueReachesTheRowsItsCriterionTextWould) {
  Run({"CREATE TABLE T (ID INTEGER, Code VARCHAR(20))", "INSERT INTO T VALUES (1, '7')",
       "INSERT INTO T VALUES (2, '-3')", "INSERT INTO T VALUES (7, 'x')",
       "INSERT INTO T VALUES (-3, '7')"});
  auto rs = Query("SELECT ID, Code FROM T");
  auto viaText = [&](const std::string& criterion, int32_t skip, int32_t direction) {
    rs->Find(criterion, skip, direction);
    return rs->EOF_() || rs->BOF() ? -100 : rs->AbsolutePosition();
  };
  auto viaValue = [&](const std::string& column, const Variant& value, int32_t skip,
                      int32_t direction) {
    rs->FindValue(column, value, skip, direction);
    return rs->EOF_() || rs->BOF() ? -100 : rs->AbsolutePosition();
  };
  struct Case {
    std::string column;
    int32_t number;
    int32_t skip;
    int32_t direction;
  };
  for (const Case& c : std::vector<Case>{{"ID", 7, 0, adSearchForward},
                                         {"id", -3, 0, adSearchForward},
                                         {"Code", 7, 0, adSearchForward},
                                         {"Code", 7, 1, adSearchForward},
                                         {"Code", -3, 0, adSearchForward},
                                         {"Code", 7, 0, adSearchBackward},
                                         {"ID", 5, 0, adSearchForward}}) {
    for (int32_t startRow : {1, 2, 4}) {
      SCOPED_TRACE(c.column + " " + std::to_string(c.number) + " from row " +
                   std::to_string(startRow));
      rs->AbsolutePosition(startRow);
      int32_t expected =
          viaText(c.column + "='" + std::to_string(c.number) + "'", c.skip, c.direction);
      rs->AbsolutePosition(startRow);
      EXPECT_EQ(viaValue(c.column, Variant(c.number), c.skip, c.direction), expected);
    }
  }
  EXPECT_AUTOMATION_ERROR(rs->FindValue("Missing", Variant(1)), adErrItemNotFound,
                          "ORVEX.Data.Recordset", "");
}

ORVEX_INSTANTIATE_DATABASE_TESTS(FindCriterionTest);

}  // namespace
}  // namespace orvex::testing
