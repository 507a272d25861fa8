#include "orvex/log_xaction.hpp"

#include <gtest/gtest.h>

#include "orvex/modules.hpp"
#include "support/automation_matchers.hpp"
#include "support/fake_text_table.hpp"
#include "support/recording_host.hpp"
#include "support/temp_dir.hpp"
#include "support/xaction_records.hpp"
#include "support/xml_records.hpp"

namespace orvex {
namespace {

using testing::FakeTextTable;
using testing::HostGuard;
using testing::ReadFile;
using testing::ReadXmlLog;
using testing::Record;
using testing::TempDir;
using Attributes = std::vector<std::pair<std::string, std::string>>;

struct RecordingXactionSink : CLogXactionEvents {
  int32_t calls = 0;
  int32_t lowerBound = 0;
  void ShowEvent(SafeArray& Data) override {
    ++calls;
    lowerBound = Data.LBound();
  }
};

class LogXactionTest : public ::testing::Test {
 protected:
  LogXactionTest() { MMain::Main(); }

  HostGuard host;
  TempDir dir;
  const std::string logFile = dir.File("xactions.log");
  const std::string xmlFile = dir.File("xactions.xml");
  std::shared_ptr<CLogXaction> logger = std::make_shared<CLogXaction>();
};

// The record line joins the texts from index one (missing elements empty); the element holds
// fields 3, 2, 5 and 6.
TEST_F(LogXactionTest, RecordLineFileLinesAndElementOfASixFieldRecord) {
  logger->pLogFile(logFile);
  logger->pLogXML(xmlFile);
  SafeArray data = Record({"a", "b", "c", "d", "e", "f"});
  EXPECT_FALSE(logger->LogXaction(data, ltFILE | ltXML));
  SafeArray zeroBased = Record({"skipped", "1", "2", "3", "4", "5", "6"}, 0);
  SafeArray gap = Record({"a", Variant::Missing(), "c"});
  SafeArray typed = Record({Variant(int16_t{7}), Variant(2.5), Variant(Date(2026, 1, 2)), Variant(),
                            Variant(true), "x:y"});
  SafeArray empty;
  for (SafeArray* record : {&zeroBased, &gap, &typed, &empty}) logger->LogXaction(*record, ltFILE);
  logger->gbDateStamp = true;
  logger->LogXaction(data, ltFILE | ltXML);

  EXPECT_EQ(ReadFile(logFile),
            "a:b:c:d:e:f\r\n\r\n1:2:3:4:5:6\r\n\r\na::c\r\n\r\n7:2.5:1/2/2026::True:x:y\r\n\r\n"
            "\r\n\r\n12/5/2026 7:29:54 PM a:b:c:d:e:f\r\n\r\n");
  logger->SaveXMLLog();
  testing::XmlLogFile xml = ReadXmlLog(xmlFile);
  ASSERT_EQ(xml.records.size(), 2u);
  EXPECT_EQ(xml.rootName + " " + xml.records[0].name, "transactions transactions");
  Attributes fields{{"transactor", "c"}, {"port", "b"}, {"name", "e"}, {"status", "f"}};
  EXPECT_EQ(xml.records[0].attributes, fields);
  fields.insert(fields.begin(), {"date", "2026-12-05T19:29:54"});
  EXPECT_EQ(xml.records[1].attributes, fields);
}

// A record that cannot be logged fails before any destination; one too short for the XML
// element fails there, before the file.
TEST_F(LogXactionTest, BadRecordsFailBeforeAnyDestination) {
  logger->pLogFile(logFile);
  logger->pLogXML(xmlFile);
  logger->gbDateStamp = true;
  auto sink = std::make_shared<RecordingXactionSink>();
  logger->Advise(sink);
  const int32_t destinations = ltRAISEEVENT | ltFILE;
  SafeArray withNull = Record({"a", Variant::Null()});
  EXPECT_RAISED(logger->LogXaction(withNull, destinations), errInvalidUseOfNull,
                "CLogXaction.LogXaction");
  SafeArray oneZeroBased = Record({"only"}, 0);
  EXPECT_AUTOMATION_ERROR(logger->LogXaction(oneZeroBased, destinations), errSubscriptOutOfRange,
                          "CLogXaction.LogXaction::ORVEX@TESTPC", "");
  SafeArray fromTwo = Record({"a", "b"}, 2);
  EXPECT_RAISED(logger->LogXaction(fromTwo, destinations), errSubscriptOutOfRange, "");
  SafeArray tooLong(1, 32768);
  EXPECT_RAISED(logger->LogXaction(tooLong, destinations), errOverflow, "");
  const std::string xmlSource =
      "CLogXaction.LogXaction@TESTPC >> CLogXaction.pLogToXML::ORVEX@TESTPC";
  SafeArray five = Record({"a", "b", "c", "d", "e"});
  EXPECT_AUTOMATION_ERROR(logger->LogXaction(five, ltXML | ltFILE), errSubscriptOutOfRange,
                          xmlSource, "");
  EXPECT_EQ(sink->calls, 0);
  EXPECT_EQ(ReadFile(logFile), "");
  logger->SaveXMLLog();
  EXPECT_TRUE(ReadXmlLog(xmlFile).records.empty()) << "a record that failed half-way was kept";

  SafeArray six = Record({"a", "b", "c", "d", "e", "f"});
  EXPECT_AUTOMATION_ERROR(std::make_shared<CLogXaction>()->LogXaction(six, ltXML), errObjectNotSet,
                          xmlSource, "");
}

TEST_F(LogXactionTest, EventLogAndMessageBoxCarryTheRecordLine) {
  host->isNT = true;
  logger->gstrHelpFile = "x.hlp";
  logger->glHelpContext = 5;
  SafeArray data = Record({"abc"});
  logger->LogXaction(data, ltEVENTLOG | ltMSGBOX);
  ASSERT_EQ(host->events.size(), 1u);
  EXPECT_EQ(host->events[0].text + "|" + std::to_string(host->events[0].type), "abc {}|4");
  EXPECT_EQ(host->BoxesText(), "abc {}|16384|abc|x.hlp|5\n");

  auto table = std::make_shared<FakeTextTable>();
  logger->gttEvents = table;
  SafeArray number = Record({"12"});
  logger->LogXaction(number, ltMSGBOX);
  EXPECT_EQ(table->shows, std::vector<std::string>{"12|16384|12|x.hlp|5"});

  SafeArray twoFields = Record({"1", "2"});
  EXPECT_RAISED(logger->LogXaction(twoFields, ltMSGBOX), errTypeMismatch, "CLogXaction.LogXaction");

  host->failEventLog = true;
  EXPECT_AUTOMATION_ERROR(
      logger->LogXaction(data, ltEVENTLOG | ltMSGBOX), errPermissionDenied,
      "CLogXaction.LogXaction@TESTPC >> CLogXaction.pLogToNTEventLog::EventLog@TESTPC", "");
  EXPECT_EQ(table->shows.size(), 1u);  // the box after the failing event log is not shown

  // Raising an error is asked for by the flag word 2 alone; with other bits it selects nothing.
  AutomationError raised =
      testing::CatchAutomationError([&] { logger->LogXaction(twoFields, ltRAISEERROR); });
  EXPECT_EQ(std::tuple(raised.Number, raised.Source, raised.Description, raised.HelpFile,
                       raised.HelpContext),
            std::tuple(kXactionRaisedError, "CLogXaction.LogXaction::1:2@TESTPC",
                       kXactionRaisedDescription, "x.hlp", 5));
  logger->pLogFile(logFile);
  EXPECT_FALSE(logger->LogXaction(twoFields, ltRAISEERROR | ltFILE));
  EXPECT_EQ(ReadFile(logFile), "1:2\r\n\r\n");
}

// The handler gets the caller's array as it is (the sinks' failures and Unadvise are checked
// with the error logger, whose connection point is the same).
TEST_F(LogXactionTest, EventHandlerSeesTheWholeArray) {
  logger->pLogFile(logFile);
  auto sink = std::make_shared<RecordingXactionSink>();
  logger->Advise(sink);
  SafeArray zeroBased = Record({"zero", "one"}, 0);
  EXPECT_FALSE(logger->LogXaction(zeroBased, ltFORMATERROR | ltFILE));  // the event: its low bit
  EXPECT_EQ(std::pair(sink->calls, sink->lowerBound), std::pair(1, 0));
  EXPECT_EQ(ReadFile(logFile), "one\r\n\r\n");
}

}  // namespace
}  // namespace orvex
