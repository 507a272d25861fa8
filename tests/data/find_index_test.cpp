// Find through its index against a plain scan of the rows, while IDs are edited, duplicated,
// moved far away and rows are added and given up.
#include <gtest/gtest.h>

#include <random>

#include "data_fixture.hpp"

namespace orvex::testing {
namespace {

using namespace orvex::data;

class FindIndexTest : public DataTest {
 protected:
  // The 1-based position that a row-by-row search for `id` reaches, or 0.
  static int32_t Scan(Recordset& rs, int32_t id, int32_t from, int32_t direction) {
    for (int32_t at = from; at >= 1 && at <= rs.RecordCount(); at += direction) {
      rs.AbsolutePosition(at);
      Variant value = rs.Fields()->Item("ID")->Value();
      if (!value.IsNull() && CDbl(value) == id) return at;
    }
    return 0;
  }

  static int32_t Found(Recordset& rs, int32_t id, int32_t from, int32_t direction) {
    rs.AbsolutePosition(from);
    rs.Find("ID='" + std::to_string(id) + "'", 0, direction);
    return rs.EOF_() || rs.BOF() ? 0 : rs.AbsolutePosition();
  }
};

TEST_P(FindIndexTest, AgreesWithAScanThroughEveryKindOfEdit) {
  std::vector<std::string> setup = {"CREATE TABLE T (ID INTEGER, Name VARCHAR(20))"};
  std::string insert = "INSERT INTO T (ID, Name) VALUES ";
  for (int32_t i = 1; i <= 300; ++i) {
    int32_t id = i <= 280 ? i : i - 100;  // the last twenty repeat earlier IDs
    insert += (i > 1 ? ", (" : "(") + std::to_string(id) + ", 'n" + std::to_string(i) + "')";
  }
  setup.push_back(insert);
  Run(setup);
  auto rs = Query("SELECT ID, Name FROM T", adLockBatchOptimistic);

  std::mt19937 random(20261205);
  auto pick = [&](int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(random);
  };
  auto check = [&](const std::string& after) {
    for (int i = 0; i < 6; ++i) {
      int32_t id = pick(0, 9) == 0 ? 1000000000 : pick(-60, 420);
      int32_t from = pick(1, rs->RecordCount());
      int32_t direction = pick(0, 1) == 0 ? adSearchForward : adSearchBackward;
      int32_t expected = Scan(*rs, id, from, direction);
      ASSERT_EQ(Found(*rs, id, from, direction), expected)
          << "ID " << id << " from " << from << " direction " << direction << " after " << after;
    }
  };
  check("loading");
  for (int step = 0; step < 300; ++step) {
    int32_t op = pick(0, 9);
    std::string what;
    if (op <= 5) {
      rs->AbsolutePosition(pick(1, rs->RecordCount()));
      int32_t choice = pick(0, 19);
      Variant id = choice == 0   ? Variant::Null()
                   : choice == 1 ? Variant(int32_t{1000000000})
                                 : Variant(pick(-50, 400));
      what = "setting an ID";
      rs->Fields()->Item("ID")->Value(id);
      rs->Update();
    } else if (op <= 8) {
      what = "adding a row";
      rs->AddNew();
      rs->Fields()->Item("ID")->Value(Variant(pick(-50, 400)));
      rs->Update();
    } else {
      what = "giving up an added row";
      rs->AddNew();
      rs->Fields()->Item("ID")->Value(Variant(pick(-50, 400)));
      rs->CancelUpdate();
    }
    check(what + " at step " + std::to_string(step));
  }
}

ORVEX_INSTANTIATE_DATABASE_TESTS(FindIndexTest);

}  // namespace
}  // namespace orvex::testing
