// Export and import of a table's texts, on every kind of table, in every format.
#include "orvex/text_exchange.hpp"

#include <gtest/gtest.h>

#include "orvex/modules.hpp"
#include "support/automation_matchers.hpp"
#include "support/recording_host.hpp"
#include "textexchange/exchange_tables.hpp"

namespace orvex::testing {
namespace {

const std::string kLongEnglish =
    "This sentence is long enough that gettext folds it at a space before the page edge, and "
    "then it goes on for a while longer so that it needs a third line as well.";

// What a translator sends back: texts that each format must carry unchanged.
const TextRows kTranslated = {
    {-3, {"Minus", "سالب"}},
    {1, {"Say \"hi\" \\ <&> back", "قل \"مرحبا\" \\ <&>"}},
    {2, {"line one\nline two\r\nthree\ttab", "سطر\nثان\tجدول"}},
    {3, {"cafe\u0301 e\u0301", "e\u0301\u0308"}},
    {4, {"😀 👍🏽 👨‍👩‍👧", "👋"}},
    {5, {"\u202Bembedded\u202C \u200F \u2066iso\u2069", "\u200Fعربي\u200E \u061C"}},
    {6, {"Untranslated", std::nullopt}},
    {7, {kLongEnglish, "نص طويل " + kLongEnglish}},
    {8, {"  padded  ", " "}},
};

// The table before the translation came back.
TextRows Original() {
  TextRows rows = kTranslated;
  for (auto& [id, texts] : rows) texts.arabic = std::nullopt;
  rows[-3].arabic = "سالب";
  rows[2].arabic = "قديم";
  return rows;
}

const std::map<std::string, ImportOutcome> kTranslationOutcomes = {
    {"-3", ImportOutcome::Unchanged}, {"1", ImportOutcome::Added}, {"2", ImportOutcome::Changed},
    {"3", ImportOutcome::Added},      {"4", ImportOutcome::Added}, {"5", ImportOutcome::Added},
    {"6", ImportOutcome::Unchanged},  {"7", ImportOutcome::Added}, {"8", ImportOutcome::Added},
};

std::map<std::string, ImportOutcome> Outcomes(const ImportReport& report) {
  std::map<std::string, ImportOutcome> outcomes;
  for (const ImportEntry& entry : report.entries) outcomes.emplace(entry.id, entry.outcome);
  EXPECT_EQ(outcomes.size(), report.entries.size()) << "an ID reported twice";
  return outcomes;
}

std::map<int32_t, std::string> ArabicOf(const TextRows& rows) {
  std::map<int32_t, std::string> texts;
  for (const auto& [id, row] : rows) texts[id] = row.arabic.value_or("");
  return texts;
}

const std::pair<ExchangeFormat, const char*> kFormats[] = {{ExchangeFormat::Po, "po"},
                                                           {ExchangeFormat::Xliff12, "xliff12"},
                                                           {ExchangeFormat::Xliff20, "xliff20"}};

class TextExchangeTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (GetParam() == kSqlite || GetParam() == kPostgres) ORVEX_REQUIRE_PROVIDER(GetParam());
    tables_ = std::make_unique<ExchangeTables>(GetParam(), folder_);
  }

  static ExportOptions Arabic(ExchangeFormat format) { return {"Arabic", "English", format}; }
  static ImportOptions Into(ExchangeFormat format) { return {"Arabic", format, false, false}; }

  HostGuard host_;
  TempDir folder_;
  std::unique_ptr<ExchangeTables> tables_;
};

TEST_P(TextExchangeTest, TranslationsReachTheTableExactlyInEachFormat) {
  for (const auto& [format, name] : kFormats) {
    SCOPED_TRACE(name);
    const TextTableSource table = tables_->Make(std::string("a_") + name, Original());
    const TextTableSource translated = tables_->Make(std::string("b_") + name, kTranslated);
    const std::string file = ExportTexts(translated, Arabic(format));
    EXPECT_EQ(ExportTexts(translated, Arabic(format)), file);

    const ImportReport report = ImportTexts(table, Into(format), file);
    EXPECT_TRUE(report.applied);
    EXPECT_EQ(Outcomes(report), kTranslationOutcomes);
    EXPECT_EQ(tables_->Arabic(table, kTranslated), ArabicOf(kTranslated));

    // Exported again and imported with no edit, nothing changes, not a byte.
    const std::string stored = tables_->Stored(table);
    const ImportReport again = ImportTexts(table, Into(format), ExportTexts(table, Arabic(format)));
    EXPECT_TRUE(again.applied);
    EXPECT_EQ(again.Count(ImportOutcome::Unchanged), kTranslated.size());
    EXPECT_EQ(tables_->Stored(table), stored);
  }
}

TEST_P(TextExchangeTest, AnImportWithRefusalsChangesNothingUnlessTheyAreSkipped) {
  const TextTableSource table = tables_->Make("a", Original());
  TextRows sent = kTranslated;
  sent[99] = {"Not in the table", "ليس في الجدول"};
  sent[2].english = "line one, since reworded";
  const std::string file = ExportTexts(tables_->Make("b", sent), Arabic(ExchangeFormat::Xliff20));
  std::map<std::string, ImportOutcome> expected = kTranslationOutcomes;
  expected["2"] = ImportOutcome::SourceChanged;
  expected["99"] = ImportOutcome::UnknownId;
  const std::string stored = tables_->Stored(table);

  // Refused whole, and with the refusals skipped but as a dry run: the table is as it was.
  ImportOptions options = Into(ExchangeFormat::Xliff20);
  for (bool skipRefusedAsDryRun : {false, true}) {
    options.skipRefused = options.dryRun = skipRefusedAsDryRun;
    const ImportReport report = ImportTexts(table, options, file);
    EXPECT_FALSE(report.applied);
    EXPECT_TRUE(report.HasRefusals());
    EXPECT_EQ(Outcomes(report), expected);
    EXPECT_EQ(tables_->Stored(table), stored);
  }
  options.dryRun = false;
  EXPECT_TRUE(ImportTexts(table, options, file).applied);
  std::map<int32_t, std::string> arabic = ArabicOf(kTranslated);
  arabic[2] = "قديم";  // refused: the old translation stays
  EXPECT_EQ(tables_->Arabic(table, kTranslated), arabic);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TextExchangeTest,
                         ::testing::Values(kSqlite, kPostgres, "glossary", "rows"),
                         ProviderTestName);

TEST(TextExchangeDatabase, AWriteThatFailsHalfwayLeavesEveryRowAsItWas) {
  HostGuard host;
  TempDir folder;
  ExchangeTables tables(kSqlite, folder);
  const TextTableSource table = tables.Make("a", Original());
  const std::string file =
      ExportTexts(tables.Make("b", kTranslated), {"Arabic", "English", ExchangeFormat::Po});
  // IDs are written in ascending order: 1 to 4 reach the table before 5 fails.
  tables.RunScript(
      "CREATE TRIGGER refuse_5 BEFORE UPDATE ON a WHEN NEW.ID = 5 "
      "BEGIN SELECT RAISE(ABORT, 'row 5 is locked'); END");
  const std::string stored = tables.Stored(table);
  const AutomationError error = CatchAutomationError([&] {
    ImportTexts(table, {"Arabic", ExchangeFormat::Po, false, false}, file);
  });
  EXPECT_NE(error.Description.find("row 5 is locked"), std::string::npos) << error.Description;
  EXPECT_EQ(tables.Stored(table), stored);
}

TEST(TextExchangeArguments, AreRefusedWithTheReason) {
  TempDir folder;
  ExchangeTables tables("glossary", folder);
  const TextTableSource glossary = tables.Make("g", kTranslated);
  struct Case {
    std::string language, sourceLanguage, description;
  } cases[] = {
      {"Arabic", "Arabic", "The language and the source language are the same column 'Arabic'"},
      {"Arabic; DROP TABLE x", "English",
       "The language 'Arabic; DROP TABLE x' is not a plain name (letters, digits and _, not "
       "starting with a digit)"},
      {"Arabic", "1English",
       "The source language '1English' is not a plain name (letters, digits and _, not starting "
       "with a digit)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language + " / " + c.sourceLanguage);
    EXPECT_AUTOMATION_ERROR(
        ExportTexts(glossary, {c.language, c.sourceLanguage, ExchangeFormat::Po}),
        errInvalidProcedureCall, "ORVEX.TextExchange", c.description);
  }
  EXPECT_AUTOMATION_ERROR(
      ExportTexts(TextTableSource::Database("Data Source=" + folder.File("x.db"), "T x"),
                  {"Arabic", "English", ExchangeFormat::Po}),
      errInvalidProcedureCall, "ORVEX.TextExchange",
      "The table 'T x' is not a plain name (letters, digits and _, not starting with a digit)");
  EXPECT_AUTOMATION_ERROR(ParseExchangeFormat("xliff"), errInvalidProcedureCall,
                          "ORVEX.TextExchange",
                          "Unknown format 'xliff' (use po, xliff12 or xliff20)");
}

}  // namespace
}  // namespace orvex::testing
