// Input written to hurt: a saved-rows file that claims a gigabyte, a megabyte of description,
// and bytes that are not UTF-8 in texts and file names. (Names that try to be statements are in
// hostile_names_test, entity bombs and external entities in the XML reader's tests.)
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>

#include "orvex/data.hpp"
#include "orvex/log_error.hpp"
#include "orvex/modules.hpp"
#include "reliability/log_files.hpp"
#include "reliability/saved_rows_bytes.hpp"
#include "support/automation_matchers.hpp"
#include "support/recording_host.hpp"
#include "support/temp_dir.hpp"
#include "support/xml_records.hpp"

namespace orvex {
namespace {

using orvex::testing::WriteFile;

using reliability::QuerySqliteTexts;
using testing::ReadXmlLog;

class HostileInputTest : public ::testing::Test {
 protected:
  HostileInputTest() { MMain::Main(); }
  testing::HostGuard host;
  testing::TempDir dir;
};

TEST_F(HostileInputTest, SavedRowsClaimingAGigabyteAreRefusedWithoutAllocatingIt) {
  using reliability::SavedRowsBytes;
  constexpr uint32_t kGigabyte = 1u << 30;
  // One column and one row holding one value of the tag.
  auto oneValue = [](const char* column, int32_t type, uint8_t tag) {
    return SavedRowsBytes::Header(1).Column(column, type).Rows(1).Tag(tag);
  };
  const std::pair<const char*, std::string> forgeries[] = {
      {"column count", SavedRowsBytes::Header(kGigabyte).Finish()},
      {"column name length", SavedRowsBytes::Header(1).String(kGigabyte, "ID").Finish()},
      {"row count",
       SavedRowsBytes::Header(1).Column("ID", 3).Rows(uint64_t{kGigabyte} * 4).Finish()},
      {"text length", oneValue("English", 203, 8).String(kGigabyte, "x").Finish()},
      {"byte array length", oneValue("Blob", 205, 0x51).String(kGigabyte, "x").Finish()},
  };
  rusage before{};
  ::getrusage(RUSAGE_SELF, &before);
  data::Recordset rows;
  for (const auto& [what, bytes] : forgeries) {
    WriteFile(dir.File("forged.rows"), bytes);
    const AutomationError error =
        testing::CatchAutomationError([&] { rows.Open(Variant(dir.File("forged.rows"))); });
    EXPECT_NE(error.Description.find("damaged"), std::string::npos) << what << error.Description;
  }
  // The same builder makes a file that does load, so the refusals above are the claims'.
  WriteFile(dir.File("honest.rows"), oneValue("ID", 3, 3).Int32(7).Finish());
  rows.Open(Variant(dir.File("honest.rows")));
  EXPECT_EQ(CLng(rows.Fields()->Item(0)->Value()), 7);
  rusage after{};
  ::getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kilobytes of peak growth";
}

TEST_F(HostileInputTest, AMegabyteDescriptionReachesEveryDestination) {
  host->isNT = true;
  const std::string database = dir.File("errors.db");
  reliability::ExecSqlite(database, reliability::kErrorLogTable);
  CLogError logger;
  logger.pLogFile(dir.File("errors.log"));
  logger.pConnect("Provider=SQLite;Data Source=" + database, "ErrorLog");
  logger.pLogXML(dir.File("errors.xml"));
  const std::string huge(1 << 20, 'd');
  TErrorObject error;
  error.lNumber = 53;
  error.strDescription = huge;
  error.strSource = std::string(1 << 16, 's');
  const int32_t every = ltRAISEEVENT | ltFILE | ltEVENTLOG | ltMSGBOX | ltDB | ltMSG_ONLY | ltXML;
  int32_t result = logger.LogError(std::string(4096, 'M'), "Proc", error, every, 0, "Title");
  // A destination may refuse an overlong value, but only by its failure flag.
  EXPECT_EQ(result & etwelrLOGTOFILE_FAILED, 0);
  EXPECT_EQ(result & etwelrLOGTOXML_FAILED, 0);
  EXPECT_EQ(host->events.size(), 1u);
  EXPECT_EQ(host->boxes.size(), 2u);
  logger.SaveXMLLog();
  EXPECT_EQ(ReadXmlLog(dir.File("errors.xml")).Descriptions(), std::vector{huge});
  EXPECT_EQ(reliability::TextLogRecords(dir.File("errors.log"), true), std::vector{huge});
  if ((result & etwelrLOGTODB_FAILED) == 0) {
    auto stored = QuerySqliteTexts(database, "SELECT substr(strDescription, 1, 255) FROM ErrorLog");
    EXPECT_EQ(stored, std::vector{huge.substr(0, 255)});
  }
}

TEST_F(HostileInputTest, InvalidUtf8InTextsAndFileNamesKeepsTheXmlLogLoadable) {
  const std::string badName = "bad-\xFF\xFE-\xC3.";  // not UTF-8 (Linux names are bytes)
  CLogError logger;
  logger.pLogFile(dir.File(badName + "log"));
  logger.pLogXML(dir.File(badName + "xml"));
  const std::string texts[] = {
      "lone continuation \x80 byte",  "truncated \xE2\x82",          "\xFF\xFE",
      "overlong \xC0\xAF slash",      "surrogate \xED\xA0\x80 half", "control \x01\x1F chars",
      std::string("nul \0 byte", 10), "ok \xD8\xB3\xD9\x84 text"};
  for (const std::string& text : texts) {
    TErrorObject error;
    error.lNumber = 5;
    error.strDescription = error.strSource = text;
    EXPECT_EQ(logger.LogError(text, text, error, ltFILE | ltXML) & etwelrLOGTOXML_FAILED, 0)
        << text;
  }
  // The next save loads the file again and appends to it.
  for (const char* description : {"", "after"}) {
    TErrorObject error;
    error.strDescription = description;
    if (*description) logger.LogError("m", "p", error, ltXML);
    EXPECT_NO_THROW(logger.SaveXMLLog());
    auto records = ReadXmlLog(dir.File(badName + "xml"));
    ASSERT_TRUE(records.loaded) << "the XML log no longer parses";
    EXPECT_EQ(records.Descriptions().size(), std::size(texts) + (*description ? 1 : 0));
    EXPECT_EQ(records.Descriptions().back(), *description ? "after" : "ok \xD8\xB3\xD9\x84 text");
  }
  EXPECT_TRUE(std::filesystem::exists(dir.File(badName + "log")));
}

}  // namespace
}  // namespace orvex
