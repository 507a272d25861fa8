// Names written to hurt, on every provider: a language, table or column name that tries to be
// more than a name is refused before any statement is sent, and one that is a name works as the
// name it is. Afterwards every other table holds exactly what it held.
#include <gtest/gtest.h>

#include "orvex/data.hpp"
#include "orvex/log_error.hpp"
#include "orvex/log_event.hpp"
#include "orvex/log_xaction.hpp"
#include "orvex/modules.hpp"
#include "orvex/text_table.hpp"
#include "support/automation_matchers.hpp"
#include "support/db_providers.hpp"
#include "support/recording_host.hpp"
#include "support/xaction_records.hpp"

namespace orvex {
namespace {

constexpr const char* kNamesSetup =
    "CREATE TABLE Messages (ID INTEGER PRIMARY KEY, English TEXT, \"zh-Hans\" TEXT, "
    "\"Old English\" TEXT, \"order\" TEXT, Welsh9 TEXT);"
    "INSERT INTO Messages VALUES (1, 'File not found', 'zh', 'olde', 'ord', 'w9');"
    "CREATE TABLE LanguageStrings (ID INTEGER PRIMARY KEY, English TEXT);"
    "INSERT INTO LanguageStrings VALUES (1, 'one');"
    "CREATE TABLE Secrets (ID INTEGER PRIMARY KEY, Secret TEXT);"
    "INSERT INTO Secrets VALUES (1, 's3cr3t');";

class HostileNamesTest : public testing::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    MMain::Main();
    Db().RunScript(kNamesSetup);
  }

  // What every table holds, as one text.
  std::string Checksum() {
    std::string sum;
    for (const char* table : {"Messages", "LanguageStrings", "Secrets"})
      sum += std::to_string(Db().CountRows(table)) + "|";
    return sum + Db().QueryText(
                     "SELECT s.Secret || m.English || l.English FROM Secrets s, Messages m, "
                     "LanguageStrings l WHERE s.ID = 1 AND m.ID = 1 AND l.ID = 1");
  }

  std::string SchemaName() { return Db().IsPostgres() ? Db().Location() : "main"; }

  testing::HostGuard host;
};

// The refusal names the argument, comes from the data layer and passes through the method.
void ExpectNameRefused(const AutomationError& error, const std::string& argument,
                       const std::string& method) {
  EXPECT_EQ(error.Number, data::adErrInvalidArgument) << error.Description;
  EXPECT_EQ(error.Description.rfind(argument + " '", 0), 0u) << error.Description;
  EXPECT_NE(error.Description.find("is not a name"), std::string::npos) << error.Description;
  EXPECT_NE(error.Source.find(method), std::string::npos) << error.Source;
  EXPECT_NE(error.Source.find("ORVEX.Data.Name"), std::string::npos) << error.Source;
}

TEST_P(HostileNamesTest, EachClassOfNameWorksAsANameOrIsRefused) {
  const struct {
    const char* what;
    std::string table, language;
    // The text of ID 1; when refused, "Language" or "TableName"; "" for the database's own error.
    std::string outcome;
  } cases[] = {
      {"subquery as language", "Messages", "(SELECT Secret FROM Secrets)", "Language"},
      {"subquery as table", "(SELECT ID, Secret AS English FROM Secrets) s", "English",
       "TableName"},
      {"line comment", "Messages --", "English", "TableName"},
      {"block comment", "Messages", "English/**/", "Language"},
      {"string quote", "Messages", "'English'", "Language"},
      {"quote inside a quoted name", "Messages", "\"zh\"\"Hans\"", "Language"},
      {"semicolon in table", "Messages; DELETE FROM Secrets", "English", "TableName"},
      {"semicolon in language", "Messages", "English FROM Secrets; DELETE FROM Secrets --",
       "Language"},
      {"unquoted name with a dash", "Messages", "zh-Hans", "Language"},
      {"space", "Messages", "Old English", "Language"},
      {"three-part name", "a.b.Messages", "English", "TableName"},
      {"quoted name with a dash", "Messages", "\"zh-Hans\"", "zh"},
      {"quoted name with a space", "Messages", "\"Old English\"", "olde"},
      {"quoted keyword", "Messages", "\"order\"", "ord"},
      {"digits in a name", "Messages", "Welsh9", "w9"},
      {"bare keyword", "Messages", "order", ""},
      {"schema-qualified table", SchemaName() + ".Messages", "English", "File not found"},
  };
  const std::string before = Checksum();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto table = std::make_shared<CTextTable>();
    table->ConnectingString(Db().ConnectionString());
    const bool refused = c.outcome == "Language" || c.outcome == "TableName";
    if (refused || c.outcome.empty()) {
      AutomationError error =
          testing::CatchAutomationError([&] { table->LoadStringsRS(c.table, c.language); });
      if (refused) ExpectNameRefused(error, c.outcome, "LoadStringsRS");
      EXPECT_TRUE(refused || (error.Number != 0 && error.Number != data::adErrInvalidArgument));
    } else {
      table->LoadStringsRS(c.table, c.language);
      EXPECT_EQ(table->Text(1), c.outcome);
    }
  }

  // The same check guards the direct look-up and change, and every logger's table name.
  const std::string hostile = "English FROM Secrets; UPDATE Secrets SET Secret = 'x' --";
  auto direct = std::make_shared<CTextTable>();
  direct->ConnectingString(Db().ConnectionString());
  ExpectNameRefused(testing::CatchAutomationError([&] { direct->TextE(hostile, 1); }), "Language",
                    "Get TextE");
  ExpectNameRefused(testing::CatchAutomationError([&] { direct->TextE(hostile, 1, "x"); }),
                    "Language", "let TextE");
  EXPECT_EQ(direct->TextE("English", 1), "one");

  const std::string hostileTable = "Secrets; DELETE FROM Secrets";
  auto xactions = std::make_shared<CLogXaction>();
  int16_t sourceCount = 0;
  ExpectNameRefused(testing::CatchAutomationError([&] {
                      xactions->pConnect(Db().ConnectionString(), hostileTable, sourceCount);
                    }),
                    "strTableName", "pConnect");
  auto events = std::make_shared<CLogEvent>();
  ExpectNameRefused(testing::CatchAutomationError(
                        [&] { events->pConnect(Db().ConnectionString(), hostileTable); }),
                    "strTableName", "pConnect");
  // The error logger's pConnect reports nothing; the refusal comes back as the failure record.
  auto errors = std::make_shared<CLogError>();
  errors->pConnect(Db().ConnectionString(), hostileTable, nullptr);
  TErrorObject record;
  record.lNumber = 5;
  record.strDescription = "Invalid procedure call";
  EXPECT_NE(errors->LogError("Mod", "Proc", record, ltDB) & etwelrLOGTODB_FAILED, 0);
  EXPECT_EQ(record.lNumber, data::adErrInvalidArgument);
  EXPECT_EQ(record.strDescription.rfind("strTableName '", 0), 0u) << record.strDescription;

  EXPECT_EQ(Checksum(), before);
}

// Columns the transaction logger discovers are quoted as the database spells them: honest
// columns named with a blank, a keyword or capitals work, and a planted name stays a name.
TEST_P(HostileNamesTest, TransactionColumnsOfAnySpellingAreOneNameEach) {
  Db().RunScript(
      "CREATE TABLE XLog (\"order\" INTEGER, \"user name\" TEXT, \"MixedCase\" TEXT, "
      "\"x\"\", (SELECT Secret FROM Secrets)) --\" TEXT)");
  const std::string before = Checksum();
  auto logger = std::make_shared<CLogXaction>();
  int16_t sourceCount = 0;
  logger->pConnect(Db().ConnectionString(), "XLog", sourceCount);
  SafeArray record = testing::Record({7, "ann", "Mixed", "planted"});
  logger->LogXaction(record, ltDB);
  EXPECT_EQ(Db().QueryText("SELECT \"order\" || \"user name\" || \"MixedCase\" || \"x\"\", "
                           "(SELECT Secret FROM Secrets)) --\" FROM XLog"),
            "7annMixedplanted");
  EXPECT_EQ(Db().CountRows("XLog"), 1);
  EXPECT_EQ(Checksum(), before);
}

ORVEX_INSTANTIATE_DATABASE_TESTS(HostileNamesTest);

}  // namespace
}  // namespace orvex
