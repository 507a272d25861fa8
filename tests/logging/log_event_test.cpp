#include "orvex/log_event.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "orvex/modules.hpp"
#include "support/automation_matchers.hpp"
#include "support/fake_text_table.hpp"
#include "support/recording_host.hpp"
#include "support/sql_rows.hpp"
#include "support/temp_dir.hpp"
#include "support/xml_records.hpp"

namespace orvex {
namespace {

using testing::FakeTextTable;
using testing::HostGuard;
using testing::QueryRows;
using testing::ReadFile;
using testing::ReadXmlLog;
using testing::TempDir;
using Attributes = std::vector<std::pair<std::string, std::string>>;

struct RewritingSink : CLogEventEvents {
  std::vector<std::string> seen;
  std::string replacement;
  bool raises = false;
  void ShowEvent(std::string& strEvent) override {
    seen.push_back(strEvent);
    if (!replacement.empty()) strEvent = replacement;
    if (raises) throw AutomationError(5, "client", "handler failed");
  }
};

class LogEventTest : public ::testing::Test {
 protected:
  LogEventTest() {
    MMain::Main();
    testing::ExecuteSql(connection, "CREATE TABLE Events (strEvent VARCHAR(255), dDate DATETIME)");
  }

  std::vector<std::vector<Variant>> Rows() {
    return QueryRows(connection, "SELECT strEvent, dDate FROM Events");
  }

  HostGuard host;
  TempDir dir;
  const std::string connection = "Provider=SQLite;Data Source=" + dir.File("log.db");
  const std::string logFile = dir.File("events.log");
  const std::string xmlFile = dir.File("events.xml");
  std::shared_ptr<CLogEvent> logger = std::make_shared<CLogEvent>();
};

constexpr int32_t kEveryDestination = ltRAISEEVENT | ltFILE | ltDB | ltXML | ltEVENTLOG | ltMSGBOX;

TEST_F(LogEventTest, RewrittenAndStampedTextReachesLaterDestinationsButNotTheXmlElement) {
  host->isNT = true;
  logger->gbDateStamp = true;
  logger->gstrHelpFile = "events.hlp";
  logger->glHelpContext = 9;
  logger->pLogFile(logFile);
  logger->pConnect(connection, "Events");
  logger->pLogXML(xmlFile);
  auto sink = std::make_shared<RewritingSink>();
  sink->replacement = "rewritten";
  logger->Advise(sink);

  std::string text = "original";
  EXPECT_FALSE(logger->LogEvent(text, kEveryDestination));
  EXPECT_EQ(text, "original");
  EXPECT_EQ(sink->seen, std::vector<std::string>{"original"});

  const std::string stamped = "12/5/2026 7:29:54 PM rewritten";
  EXPECT_EQ(ReadFile(logFile), stamped + "\r\n\r\n");
  auto rows = Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(CStr(rows[0][0]), stamped);
  EXPECT_EQ(CDate(rows[0][1]), host->now);
  ASSERT_EQ(host->events.size(), 1u);
  EXPECT_EQ(host->events[0].text + "|" + std::to_string(host->events[0].type), stamped + "|4");
  ASSERT_EQ(host->boxes.size(), 1u);
  EXPECT_EQ(host->boxes[0].Text(), stamped + "|16384||events.hlp|9");

  logger->SaveXMLLog();
  testing::XmlLogFile xml = ReadXmlLog(xmlFile);
  EXPECT_EQ(xml.rootName, "events");
  ASSERT_EQ(xml.records.size(), 1u);
  EXPECT_EQ(xml.records[0].name, "event");
  EXPECT_EQ(xml.records[0].attributes,
            (Attributes{{"strEvent", "original"}, {"dDate", "2026-12-05T19:29:54"}}));
}

TEST_F(LogEventTest, PlainTextEmptyTextAndMarkupWithoutDateStamp) {
  logger->pLogFile(logFile);
  logger->pConnect(connection, "Events");
  logger->pLogXML(xmlFile);
  std::string empty;
  std::string markup = "a & <b> \"q\" 'r'";
  logger->LogEvent(empty, ltFILE | ltDB | ltXML);
  logger->LogEvent(markup, ltFILE | ltDB | ltXML);

  EXPECT_EQ(ReadFile(logFile), "\r\n\r\n" + markup + "\r\n\r\n");
  auto rows = Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(CStr(rows[0][0]), " ");  // an empty text is stored as one blank
  EXPECT_TRUE(rows[0][1].IsNull());
  EXPECT_EQ(CStr(rows[1][0]), markup);
  logger->SaveXMLLog();
  testing::XmlLogFile xml = ReadXmlLog(xmlFile);
  ASSERT_EQ(xml.records.size(), 2u);
  EXPECT_EQ(xml.records[0].attributes, (Attributes{{"strEvent", ""}}));
  EXPECT_EQ(xml.records[1].attributes, (Attributes{{"strEvent", markup}}));

  // Without the file destination nothing stamps the text: the row holds it plain, dated.
  logger->gbDateStamp = true;
  std::string plain = "plain";
  logger->LogEvent(plain, ltDB);
  rows = Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(CStr(rows[2][0]), "plain");
  EXPECT_EQ(CDate(rows[2][1]), host->now);
}

TEST_F(LogEventTest, UnselectedBitsAndIgnoredFailuresWriteNothingAndRaiseNothing) {
  auto sink = std::make_shared<RewritingSink>();
  sink->raises = true;
  logger->Advise(sink);
  std::string text = "t";
  EXPECT_FALSE(logger->LogEvent(text));
  EXPECT_FALSE(logger->LogEvent(text, ltRAISEERROR | ltEMAIL | ltMSG_ONLY));
  EXPECT_TRUE(sink->seen.empty());
  // The handler's failure, a file never set and an event log off NT are all ignored.
  EXPECT_FALSE(logger->LogEvent(text, ltFORMATERROR | ltFILE | ltEVENTLOG));
  EXPECT_EQ(sink->seen.size(), 1u);
  EXPECT_TRUE(host->events.empty());
  EXPECT_TRUE(host->boxes.empty());
}

TEST_F(LogEventTest, FailingDestinationsAreRaisedWithTheirNameAndEndTheCall) {
  host->isNT = true;
  logger->pLogFile(logFile);
  logger->pLogXML(xmlFile);
  auto sink = std::make_shared<RewritingSink>();
  logger->Advise(sink);
  std::string text = "e1";
  // No pConnect: the event and the file have run, the XML, event log and box have not.
  EXPECT_AUTOMATION_ERROR(logger->LogEvent(text, kEveryDestination), errObjectNotSet,
                          "CLogEvent.pLogToDB::CLogEvent@TESTPC", "");
  EXPECT_EQ(sink->seen.size(), 1u);
  EXPECT_EQ(ReadFile(logFile), "e1\r\n\r\n");
  EXPECT_TRUE(host->events.empty());
  EXPECT_TRUE(host->boxes.empty());
  logger->SaveXMLLog();
  EXPECT_TRUE(ReadXmlLog(xmlFile).records.empty());

  auto fresh = std::make_shared<CLogEvent>();
  EXPECT_AUTOMATION_ERROR(fresh->LogEvent(text, ltXML), errObjectNotSet,
                          "CLogEvent.pLogToXML::ORVEX@TESTPC", "");
  host->failEventLog = true;
  EXPECT_AUTOMATION_ERROR(fresh->LogEvent(text, ltEVENTLOG), errPermissionDenied,
                          "CLogEvent.pLogToNTEventLog::EventLog@TESTPC", "The event log is full");

  // A table that does not exist fails at the insert.
  fresh->pConnect(connection, "NoSuchTable");
  AutomationError insert = testing::CatchAutomationError([&] { fresh->LogEvent(text, ltDB); });
  EXPECT_NE(insert.Number, 0);
  EXPECT_EQ(insert.Source.rfind("CLogEvent.pLogToDB", 0), 0u) << insert.Source;
}

TEST_F(LogEventTest, FailedConnectKeepsTheEarlierCommand) {
  logger->pConnect(connection, "Events");
  AutomationError failed = testing::CatchAutomationError(
      [&] { logger->pConnect("Provider=NoSuchProvider;Data Source=x", "Events"); });
  EXPECT_NE(failed.Number, 0);
  EXPECT_EQ(failed.Source.rfind("CLogEvent.pConnect", 0), 0u) << failed.Source;
  std::string text = "still logged";
  logger->LogEvent(text, ltDB);
  auto rows = Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(CStr(rows[0][0]), "still logged");
}

TEST_F(LogEventTest, MessageBoxByTextOrByTableMessageNumber) {
  logger->gstrHelpFile = "h.hlp";
  logger->glHelpContext = 3;
  std::string text = "Backup finished";
  logger->LogEvent(text, ltMSGBOX);
  ASSERT_EQ(host->boxes.size(), 1u);
  EXPECT_EQ(host->boxes[0].Text(), "Backup finished|16384||h.hlp|3");  // no right-to-left flags

  auto table = std::make_shared<FakeTextTable>();
  logger->gttEvents = table;
  std::string number = "12";
  logger->LogEvent(number, ltMSGBOX);
  ASSERT_EQ(table->shows.size(), 1u);
  EXPECT_EQ(table->shows[0].Text(), "12|16384|<missing>|h.hlp|3");

  // The conversion error reaches the client as it was raised: no extension of its source.
  std::string word = "abc";
  AutomationError mismatch =
      testing::CatchAutomationError([&] { logger->LogEvent(word, ltMSGBOX); });
  EXPECT_EQ(mismatch.Number, errTypeMismatch);
  EXPECT_EQ(mismatch.Source.find("CLogEvent"), std::string::npos);
}

TEST_F(LogEventTest, LogFileIsCreatedEmptyAndAppendedTo) {
  logger->pLogFile(logFile);
  ASSERT_TRUE(std::filesystem::exists(logFile));
  EXPECT_EQ(std::filesystem::file_size(logFile), 0u);
  std::string first = "first";
  logger->LogEvent(first, ltFILE);
  logger->pLogFile(logFile);  // an existing file is kept
  std::string second = "\u0645\u0631\u062D\u0628\u0627";
  logger->LogEvent(second, ltFILE);
  EXPECT_EQ(ReadFile(logFile), "first\r\n\r\n" + second + "\r\n\r\n");

  const std::string unreachable = dir.File("missing/folder/events.log");
  EXPECT_THROW(logger->pLogFile(unreachable), AutomationError);
  std::string lost = "lost";
  EXPECT_FALSE(logger->LogEvent(lost, ltFILE));  // the file's failure is ignored
}

}  // namespace
}  // namespace orvex
