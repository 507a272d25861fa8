// A disk that fills up (ENOSPC) at each write of the XML log, the text log and the saved-rows
// file: the previous file stays whole, the failure is reported as each operation promises, and
// no buffered record is lost once the disk has room again.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "orvex/data.hpp"
#include "orvex/log_error.hpp"
#include "orvex/modules.hpp"
#include "orvex/text_table3.hpp"
#include "platform/data/file_io.hpp"
#include "platform/scripting/file_io.hpp"
#include "reliability/log_files.hpp"
#include "support/recording_host.hpp"
#include "support/sql_rows.hpp"
#include "support/temp_dir.hpp"

namespace orvex {
namespace {

using reliability::ReadXmlLog;
using scripting::WriteFaultInjection;
using testing::ReadFile;

// Only the first few writes of an operation are probed; none of them writes more pieces.
constexpr int32_t kMaxWritePoints = 8;

// True when the injected fault was never reached (the operation made fewer writes). Clears it.
bool FaultStillPending() {
  int errnoValue = 0;
  bool pending = false;
  for (int32_t i = 0; i < kMaxWritePoints * 4 && !pending; ++i)
    pending = WriteFaultInjection::ShouldFail(errnoValue);
  WriteFaultInjection::Clear();
  return pending;
}

class WriteFaultTest : public ::testing::Test {
 protected:
  WriteFaultTest() { MMain::Main(); }
  ~WriteFaultTest() override {
    WriteFaultInjection::Clear();
    data::internal::FailNthFileWrite(0);
  }

  void LogXml(CLogError& logger, const std::string& description) {
    TErrorObject error;
    error.lNumber = 5;
    error.strDescription = description;
    ASSERT_EQ(logger.LogError("Disk", "Full", error, ltXML) & etwelrLOGTOXML_FAILED, 0);
  }

  testing::HostGuard host;
  testing::TempDir dir;
};

TEST_F(WriteFaultTest, SaveXMLLogRaisesKeepsTheFileAndTheBufferedRecords) {
  for (bool fileExists : {false, true}) {
    SCOPED_TRACE(fileExists ? "existing file" : "missing file");
    int32_t writePointsHit = 0;
    for (int32_t nth = 1; nth <= kMaxWritePoints; ++nth) {
      const std::string path =
          dir.File("save-" + std::to_string(fileExists) + "-" + std::to_string(nth) + ".xml");
      CLogError logger;
      logger.pLogXML(path);
      if (fileExists) {
        LogXml(logger, "old");
        logger.SaveXMLLog();
      }
      const std::string before = ReadFile(path);
      LogXml(logger, "a");
      LogXml(logger, "b");

      WriteFaultInjection::FailNthWrite(nth, ENOSPC);
      bool raised = false;
      try {
        logger.SaveXMLLog();
      } catch (const AutomationError& error) {
        raised = true;
        EXPECT_EQ(error.Number, 61) << error.Description;  // disk full
      }
      if (FaultStillPending()) {
        EXPECT_FALSE(raised);
        break;
      }
      ++writePointsHit;
      EXPECT_TRUE(raised) << "write " << nth << " failed silently";
      EXPECT_EQ(std::filesystem::exists(path), fileExists);
      EXPECT_EQ(ReadFile(path), before) << "write " << nth << " damaged the previous file";

      logger.SaveXMLLog();  // the disk has room again
      auto records = ReadXmlLog(path);
      ASSERT_TRUE(records.loaded);
      std::vector<std::string> expected = {"a", "b"};
      if (fileExists) expected.insert(expected.begin(), "old");
      EXPECT_EQ(records.descriptions, expected);
    }
    EXPECT_GE(writePointsHit, 1);
  }
}

TEST_F(WriteFaultTest, ClearXMLLogIgnoresTheFaultAndKeepsThePreviousFile) {
  int32_t writePointsHit = 0;
  for (int32_t nth = 1; nth <= kMaxWritePoints; ++nth) {
    const std::string path = dir.File("clear-" + std::to_string(nth) + ".xml");
    CLogError logger;
    logger.pLogXML(path);
    LogXml(logger, "kept");
    logger.SaveXMLLog();
    const std::string before = ReadFile(path);
    LogXml(logger, "dropped by clear");

    WriteFaultInjection::FailNthWrite(nth, ENOSPC);
    EXPECT_NO_THROW(logger.ClearXMLLog());
    if (FaultStillPending()) {
      EXPECT_TRUE(ReadXmlLog(path).descriptions.empty());
      break;
    }
    ++writePointsHit;
    EXPECT_EQ(ReadFile(path), before) << "write " << nth << " damaged the previous file";
    // The logger goes on: new records reach the old file at the next save.
    LogXml(logger, "after");
    logger.SaveXMLLog();
    auto records = ReadXmlLog(path);
    ASSERT_TRUE(records.loaded);
    EXPECT_EQ(records.descriptions, (std::vector<std::string>{"kept", "after"}));
  }
  EXPECT_GE(writePointsHit, 1);
}

TEST_F(WriteFaultTest, TextLogReportsTheFailedWriteAndAppendsAfterIt) {
  const std::string path = dir.File("errors.log");
  CLogError logger;
  logger.pLogFile(path);
  TErrorObject first;
  first.lNumber = 53;
  first.strDescription = "first";
  ASSERT_EQ(logger.LogError("Disk", "Full", first, ltFILE) & etwelrLOGTOFILE_FAILED, 0);

  int32_t writePointsHit = 0;
  for (int32_t nth = 1; nth <= kMaxWritePoints; ++nth) {
    const std::string before = ReadFile(path);
    TErrorObject error;
    error.lNumber = 53;
    error.strDescription = "fault at write " + std::to_string(nth);
    WriteFaultInjection::FailNthWrite(nth, ENOSPC);
    int32_t result = logger.LogError("Disk", "Full", error, ltFILE);
    if (FaultStillPending()) break;
    ++writePointsHit;
    EXPECT_NE(result & etwelrLOGTOFILE_FAILED, 0) << "write " << nth;
    EXPECT_EQ(error.lNumber, 61) << "objErr holds the failure record";
    const std::string after = ReadFile(path);
    EXPECT_EQ(after.compare(0, before.size(), before), 0) << "the earlier lines changed";

    TErrorObject next;
    next.lNumber = 53;
    next.strDescription = "next " + std::to_string(nth);
    EXPECT_EQ(logger.LogError("Disk", "Full", next, ltFILE) & etwelrLOGTOFILE_FAILED, 0);
    auto lines = reliability::ReadUtf16Log(path).lines;
    ASSERT_GE(lines.size(), 3u);
    EXPECT_NE(lines[lines.size() - 3].find("{next " + std::to_string(nth) + "}"),
              std::string::npos);
  }
  EXPECT_GE(writePointsHit, 1);
}

TEST_F(WriteFaultTest, CTextTable3SaveRaisesKeepsTheFileAndTheEdits) {
  const std::string database = "Provider=SQLite;Data Source=" + dir.File("strings.db");
  testing::ExecuteSql(database, "CREATE TABLE Strings (ID INTEGER, English VARCHAR(255))");
  testing::ExecuteSql(database, "INSERT INTO Strings VALUES (1, 'one')");
  testing::ExecuteSql(database, "INSERT INTO Strings VALUES (2, 'two')");
  // A text longer than two write pieces, so that the save has several write points.
  testing::ExecuteSql(database, "INSERT INTO Strings VALUES (3, '" +
                                    std::string(2 * data::internal::kWriteChunkSize + 10, 'x') +
                                    "')");
  const std::string file = dir.File("strings.rows");
  {
    data::Recordset rows;
    rows.Open(Variant("SELECT ID, English FROM Strings ORDER BY ID"), Variant(database));
    rows.Save(file);
  }
  int32_t writePointsHit = 0;
  for (int32_t nth = 1; nth <= kMaxWritePoints; ++nth) {
    const std::string before = ReadFile(file);
    auto table = std::make_shared<CTextTable3>();
    table->ConnectingString(file);
    table->LoadStringsRS("", "English", false);
    table->Text(1, "edit " + std::to_string(nth));

    data::internal::FailNthFileWrite(nth);
    bool raised = false;
    try {
      table->Save();
    } catch (const AutomationError& error) {
      raised = true;
      EXPECT_NE(error.Source.find("Save"), std::string::npos) << error.Source;
    }
    data::internal::FailNthFileWrite(0);
    if (!raised) break;  // fewer writes than nth: the save went through
    ++writePointsHit;
    EXPECT_EQ(ReadFile(file), before) << "write " << nth << " damaged the previous file";
    table->Save();
    auto reread = std::make_shared<CTextTable3>();
    reread->ConnectingString(file);
    reread->LoadStringsRS("", "English");
    EXPECT_EQ(reread->Text(1), "edit " + std::to_string(nth));
    EXPECT_EQ(reread->Text(2), "two");
  }
  EXPECT_GE(writePointsHit, 1);
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos)
        << "temporary file left: " << entry.path();
}

}  // namespace
}  // namespace orvex
