// The per-test databases that every database suite relies on: empty, separate from each other,
// and gone afterwards.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/db_providers.hpp"

namespace orvex::testing {
namespace {

class ScratchDatabaseTest : public DatabaseTest {};

TEST_P(ScratchDatabaseTest, IsEmptySeparateAndRemovedAtTheEnd) {
  Db().RunScript(
      "CREATE TABLE Sample (ID INTEGER PRIMARY KEY, Name VARCHAR(20));"
      "INSERT INTO Sample (ID, Name) VALUES (1, 'one');"
      "INSERT INTO Sample (ID, Name) VALUES (2, NULL);");
  EXPECT_EQ(Db().CountRows("Sample"), 2);
  EXPECT_EQ(Db().QueryText("SELECT Name FROM Sample WHERE ID = 1"), "one");
  EXPECT_EQ(Db().QueryText("SELECT Name FROM Sample WHERE ID = 2"), "");
  EXPECT_THROW(Db().RunScript("SELECT * FROM NoSuchTable"), std::runtime_error);

  std::string location;
  {
    ScratchDatabase other(Provider());
    location = other.Location();
    EXPECT_NE(other.ConnectionString(), Db().ConnectionString());
    EXPECT_THROW(other.CountRows("Sample"), std::runtime_error) << "sees another test's table";
    other.RunScript("CREATE TABLE Sample (ID INTEGER)");
    EXPECT_EQ(other.CountRows("Sample"), 0);
  }
  if (Db().IsPostgres()) {
    EXPECT_EQ(
        Db().QueryText("SELECT count(*) FROM pg_namespace WHERE nspname = '" + location + "'"),
        "0");
  } else {
    EXPECT_FALSE(std::filesystem::exists(location));
  }
  EXPECT_EQ(Db().CountRows("Sample"), 2);
}

ORVEX_INSTANTIATE_DATABASE_TESTS(ScratchDatabaseTest);

}  // namespace
}  // namespace orvex::testing
