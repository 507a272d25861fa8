#include <gtest/gtest.h>

#include <cerrno>

#include "orvex/log_error.hpp"
#include "orvex/modules.hpp"
#include "platform/files/file_write.hpp"
#include "platform/xmldom/dom.hpp"
#include "support/automation_matchers.hpp"
#include "support/recording_host.hpp"
#include "support/temp_dir.hpp"

namespace orvex {
namespace {

using testing::HostGuard;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

class XmlLogTest : public ::testing::Test {
 protected:
  XmlLogTest() {
    host->computerName = "PC7";
    MMain::Main();
  }

  void Log(int32_t number, const std::string& description) {
    TErrorObject e;
    e.lNumber = number;
    e.strDescription = description;
    EXPECT_EQ(logger->LogError("Mod", "Proc", e, ltXML) & etwelrLOGTOXML_FAILED, 0);
  }

  // The records of the file, as "number:description" texts in document order.
  std::vector<std::string> Records(const std::string& path) {
    auto doc = xmldom::Document::Create();
    EXPECT_TRUE(doc->load(path));
    std::vector<std::string> records;
    xmldom::NodePtr root = doc->documentElement();
    if (!root) return records;
    xmldom::NodeList children = root->childNodes();
    for (int32_t i = 0; i < children.length(); ++i) {
      xmldom::NodePtr record = children.item(i);
      records.push_back(record->getAttribute("lErrorNumber") + ":" +
                        record->getAttribute("strDescription"));
    }
    return records;
  }

  HostGuard host;
  TempDir dir;
  std::shared_ptr<CLogError> logger = std::make_shared<CLogError>();
};

TEST_F(XmlLogTest, SaveCreatesTheFileThenAppendsKeepingTheHeader) {
  std::string path = dir.File("errors.xml");
  logger->pLogXML(path);
  Log(static_cast<int32_t>(0xA00003E9u), "first");
  Log(53, "second & <third>");
  Log(-2147467259, "\"quoted\"");
  logger->SaveXMLLog();

  const std::string created = ReadFile(path);
  EXPECT_EQ(created.rfind("<?xml version='1.0'?>", 0), 0u);
  EXPECT_NE(created.find("<!--Nuvio; The DOV Ized Azid, Error Report Started on 12/5/2026 "
                         "7:29:54 PM-->"),
            std::string::npos);
  EXPECT_NE(created.find("<errors>"), std::string::npos);
  EXPECT_NE(created.find("<error lErrorNumber=\"1001\" strDescription=\"first\" "
                         "strSource=\"@PC7 in Mod.Proc-\"/>"),
            std::string::npos);
  EXPECT_EQ(Records(path), (std::vector<std::string>{"1001:first", "53:second & <third>",
                                                     "-2147467259:\"quoted\""}));

  // Nothing buffered: the file is not rewritten.
  std::filesystem::file_time_type before = std::filesystem::last_write_time(path);
  logger->SaveXMLLog();
  EXPECT_EQ(ReadFile(path), created);
  EXPECT_EQ(std::filesystem::last_write_time(path), before);

  // Two more, from a later day: the header keeps the creation date.
  host->now = Date(2026, 12, 7, 8, 0, 0);
  Log(1, "fourth");
  Log(2, "fifth");
  logger->SaveXMLLog();
  EXPECT_EQ(Records(path).size(), 5u);
  EXPECT_EQ(Records(path)[4], "2:fifth");
  EXPECT_NE(ReadFile(path).find("Started on 12/5/2026 7:29:54 PM"), std::string::npos);
}

TEST_F(XmlLogTest, DateStampAddsTheDateAttributeFirst) {
  std::string path = dir.File("stamped.xml");
  logger->gbDateStamp = true;
  logger->pLogXML(path);
  Log(53, "x");
  logger->SaveXMLLog();
  EXPECT_NE(ReadFile(path).find("<error dDate=\"2026-12-05T19:29:54\" lErrorNumber=\"53\""),
            std::string::npos);
}

TEST_F(XmlLogTest, ClearStartsAfreshAndDropsTheBuffer) {
  std::string path = dir.File("errors.xml");
  logger->pLogXML(path);
  Log(1, "saved");
  logger->SaveXMLLog();
  Log(2, "dropped");
  host->now = Date(2027, 1, 2, 3, 4, 5);
  logger->ClearXMLLog();
  EXPECT_TRUE(Records(path).empty());
  EXPECT_NE(ReadFile(path).find("Started on 1/2/2027 3:04:05 AM"), std::string::npos);
  Log(3, "after clear");
  logger->CloseXMLLog();  // changes neither the file nor the buffer
  logger->SaveXMLLog();
  EXPECT_EQ(Records(path), std::vector<std::string>{"3:after clear"});
}

TEST_F(XmlLogTest, WithoutPLogXmlRecordsFailAndSaveRaises) {
  TErrorObject e;
  e.lNumber = 53;
  EXPECT_EQ(logger->LogError("M", "P", e, ltXML), etwelrSERROR | etwelrLOGTOXML_FAILED);
  EXPECT_EQ(e.lNumber, errObjectNotSet);
  EXPECT_THROW(logger->SaveXMLLog(), AutomationError);
  EXPECT_NO_THROW(logger->ClearXMLLog());
}

TEST_F(XmlLogTest, UnreadableFileRaisesAndKeepsTheRecordsBuffered) {
  std::string path = dir.File("broken.xml");
  WriteFile(path, "<errors><error");
  logger->pLogXML(path);
  Log(1, "kept");
  EXPECT_THROW(logger->SaveXMLLog(), AutomationError);
  EXPECT_EQ(ReadFile(path), "<errors><error");
  std::filesystem::remove(path);
  logger->SaveXMLLog();
  EXPECT_EQ(Records(path), std::vector<std::string>{"1:kept"});
}

TEST_F(XmlLogTest, AFailingWriteLeavesThePreviousFileAndTheBuffer) {
  std::string path = dir.File("errors.xml");
  logger->pLogXML(path);
  Log(1, "on disk");
  logger->SaveXMLLog();
  const std::string previous = ReadFile(path);

  Log(2, "waiting");
  // The next write fails, as on a full disk.
  files::InstallWriteFault({1, ENOSPC});
  EXPECT_THROW(logger->SaveXMLLog(), AutomationError);
  files::InstallWriteFault({});
  EXPECT_EQ(ReadFile(path), previous);

  // The records that waited are saved by the next save that succeeds.
  logger->SaveXMLLog();
  EXPECT_EQ(Records(path), (std::vector<std::string>{"1:on disk", "2:waiting"}));

  const std::string saved = ReadFile(path);
  files::InstallWriteFault({1, ENOSPC});
  logger->ClearXMLLog();  // failures ignored; the file stays whole
  files::InstallWriteFault({});
  EXPECT_EQ(ReadFile(path), saved);
}

TEST(ExpandPlaceholders, ReplacesInTurnIncludingEarlierResults) {
  EXPECT_EQ(MMain::ExpandPlaceholders("%1 Started on %2",
                                      SafeArray::Of(0, {Variant("Error Report"), Variant("x")})),
            "Error Report Started on x");
  // A value that holds a later placeholder is replaced again.
  EXPECT_EQ(MMain::ExpandPlaceholders("%1", SafeArray::Of(0, {Variant("a%2"), Variant("b")})),
            "ab");
  std::vector<Variant> ten;
  for (char c = 'A'; c <= 'J'; ++c) ten.push_back(Variant(std::string(1, c)));
  // "%10" is already changed by the step for "%1", before the step for "%10" comes.
  EXPECT_EQ(MMain::ExpandPlaceholders("%10|%1|%9", SafeArray::Of(0, ten)), "A0|A|I");
  EXPECT_EQ(MMain::ExpandPlaceholders("no placeholders %", SafeArray()), "no placeholders %");
  EXPECT_EQ(MMain::ExpandPlaceholders("%1%1", SafeArray::Of(0, {Variant(int32_t{7})})), "77");
}

}  // namespace
}  // namespace orvex
