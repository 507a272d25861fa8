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

  std::string Rows() {
    return testing::RowsText(QueryRows(connection, "SELECT strEvent, dDate FROM Events"));
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
  EXPECT_EQ(Rows(), stamped + "|12/5/2026 7:29:54 PM\n");
  ASSERT_EQ(host->events.size(), 1u);
  EXPECT_EQ(host->events[0].text + "|" + std::to_string(host->events[0].type), stamped + "|4");
  EXPECT_EQ(host->BoxesText(), stamped + "|16384||events.hlp|9\n");

  logger->SaveXMLLog();
  testing::XmlLogFile xml = ReadXmlLog(xmlFile);
  EXPECT_EQ(xml.rootName + " " + xml.records.at(0).name, "events event");
  EXPECT_EQ(xml.records[0].attributes,
            (Attributes{{"strEvent", "original"}, {"dDate", "2026-12-05T19:29:54"}}));
}

// The log file is made empty and appended to, also when named again; texts stay as given.
TEST_F(LogEventTest, PlainEmptyAndMarkupTextsWithoutDateStamp) {
  logger->pLogFile(logFile);
  EXPECT_TRUE(std::filesystem::exists(logFile) && ReadFile(logFile).empty());
  logger->pConnect(connection, "Events");
  logger->pLogXML(xmlFile);
  std::string empty, markup = "a & <b> \"q\" 'r'", arabic = "\u0645\u0631\u062D\u0628\u0627";
  logger->LogEvent(empty, ltFILE | ltDB | ltXML);
  logger->LogEvent(markup, ltFILE | ltDB | ltXML);
  logger->pLogFile(logFile);
  logger->LogEvent(arabic, ltFILE);
  EXPECT_EQ(ReadFile(logFile), "\r\n\r\n" + markup + "\r\n\r\n" + arabic + "\r\n\r\n");
  logger->SaveXMLLog();
  testing::XmlLogFile xml = ReadXmlLog(xmlFile);
  ASSERT_EQ(xml.records.size(), 2u);
  EXPECT_EQ(xml.records[0].attributes, (Attributes{{"strEvent", ""}}));
  EXPECT_EQ(xml.records[1].attributes, (Attributes{{"strEvent", markup}}));

  // An empty text is stored as one blank. Without the file destination nothing stamps the
  // text: the row holds it plain, dated. A failed connect keeps the earlier command; a failed
  // pLogFile raises, and the file's failures are then ignored.
  EXPECT_RAISED(logger->pConnect("Provider=NoSuchProvider;Data Source=x", "Events"), 0,
                "CLogEvent.pConnect");
  EXPECT_THROW(logger->pLogFile(dir.File("missing/folder/events.log")), AutomationError);
  EXPECT_FALSE(logger->LogEvent(markup, ltFILE));
  logger->gbDateStamp = true;
  std::string plain = "plain";
  logger->LogEvent(plain, ltDB);
  EXPECT_EQ(Rows(), " |Null\n" + markup + "|Null\nplain|12/5/2026 7:29:54 PM\n");
}

// Unselected bits and failures that are ignored (the handler's, a file never set, an event log
// off NT) write and raise nothing; a failing destination raises with its name and ends the call.
TEST_F(LogEventTest, IgnoredAndRaisedFailures) {
  auto sink = std::make_shared<RewritingSink>();
  sink->raises = true;
  logger->Advise(sink);
  std::string text = "e1";
  EXPECT_FALSE(logger->LogEvent(text));
  EXPECT_FALSE(logger->LogEvent(text, ltRAISEERROR | ltEMAIL | ltMSG_ONLY));
  EXPECT_TRUE(sink->seen.empty());
  EXPECT_FALSE(logger->LogEvent(text, ltFORMATERROR | ltFILE | ltEVENTLOG));
  EXPECT_EQ(sink->seen.size(), 1u);
  EXPECT_TRUE(host->events.empty());

  host->isNT = true;
  logger->pLogFile(logFile);
  logger->pLogXML(xmlFile);
  // No pConnect: the event and the file have run, the XML, event log and box have not.
  EXPECT_AUTOMATION_ERROR(logger->LogEvent(text, kEveryDestination), errObjectNotSet,
                          "CLogEvent.pLogToDB::CLogEvent@TESTPC", "");
  EXPECT_EQ(sink->seen.size(), 2u);
  EXPECT_EQ(ReadFile(logFile), "e1\r\n\r\n");
  EXPECT_TRUE(host->events.empty() && host->boxes.empty());
  logger->SaveXMLLog();
  EXPECT_TRUE(ReadXmlLog(xmlFile).records.empty());

  auto fresh = std::make_shared<CLogEvent>();
  EXPECT_AUTOMATION_ERROR(fresh->LogEvent(text, ltXML), errObjectNotSet,
                          "CLogEvent.pLogToXML::ORVEX@TESTPC", "");
  host->failEventLog = true;
  EXPECT_AUTOMATION_ERROR(fresh->LogEvent(text, ltEVENTLOG), errPermissionDenied,
                          "CLogEvent.pLogToNTEventLog::EventLog@TESTPC", "The event log is full");
  fresh->pConnect(connection, "NoSuchTable");  // fails at the insert
  EXPECT_RAISED(fresh->LogEvent(text, ltDB), 0, "CLogEvent.pLogToDB");
}

TEST_F(LogEventTest, MessageBoxByTextOrByTableMessageNumber) {
  logger->gstrHelpFile = "h.hlp";
  logger->glHelpContext = 3;
  std::string text = "Backup finished";
  logger->LogEvent(text, ltMSGBOX);
  EXPECT_EQ(host->BoxesText(), "Backup finished|16384||h.hlp|3\n");  // no right-to-left flags

  auto table = std::make_shared<FakeTextTable>();
  logger->gttEvents = table;
  std::string number = "12";
  logger->LogEvent(number, ltMSGBOX);
  EXPECT_EQ(table->shows, std::vector<std::string>{"12|16384|<missing>|h.hlp|3"});

  // The conversion error reaches the client as it was raised: no extension of its source.
  std::string word = "abc";
  AutomationError mismatch =
      testing::CatchAutomationError([&] { logger->LogEvent(word, ltMSGBOX); });
  EXPECT_EQ(mismatch.Number, errTypeMismatch);
  EXPECT_EQ(mismatch.Source.find("CLogEvent"), std::string::npos);
}

}  // namespace
}  // namespace orvex
