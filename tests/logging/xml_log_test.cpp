// The XML log of the loggers: the file made and appended to, cleared, and existing logs (written
// by hand, by the loggers, in another encoding, not in a log's shape) appended to without
// rewriting what they hold.
#include <gtest/gtest.h>

#include "orvex/log_error.hpp"
#include "orvex/log_event.hpp"
#include "orvex/modules.hpp"
#include "platform/xmldom/dom.hpp"
#include "support/automation_matchers.hpp"
#include "support/recording_host.hpp"
#include "support/temp_dir.hpp"
#include "support/xml_records.hpp"

namespace orvex {
namespace {

using testing::HostGuard;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// The records as "name: attribute=value ..." lines, for comparing two files.
std::vector<std::string> RecordLines(const std::string& path) {
  testing::XmlLogFile file = testing::ReadXmlLog(path);
  EXPECT_TRUE(file.loaded) << path;
  std::vector<std::string> lines;
  for (const testing::XmlRecord& record : file.records) {
    std::string line = record.name + ":";
    for (const auto& [name, value] : record.attributes) line += " " + name + "=" + value;
    lines.push_back(line);
  }
  return lines;
}

class XmlLogTest : public ::testing::Test {
 protected:
  XmlLogTest() {
    host->computerName = "PC7";
    MMain::Main();
  }

  void Log(int32_t number, const std::string& description) { Log(*logger, number, description); }
  void Log(CLogError& to, int32_t number, const std::string& description) {
    TErrorObject e{number, description, 0, "", 0, ""};
    EXPECT_EQ(to.LogError("Mod", "Proc", e, ltXML) & etwelrLOGTOXML_FAILED, 0);
  }
  void LogThree(CLogError& to) {
    Log(to, 53, "new & <one>");
    Log(to, 5, "\"two\"\n\xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A");
    Log(to, 7, "three \x01 control");
  }

  HostGuard host;
  TempDir dir;
  std::shared_ptr<CLogError> logger = std::make_shared<CLogError>();
};

// Saved without a file named: raises. Saved: made, then appended to under the header it was
// made with. Cleared: made afresh, and the records not yet saved are dropped.
TEST_F(XmlLogTest, SaveCreatesTheFileThenAppendsKeepingTheHeaderUntilCleared) {
  EXPECT_THROW(logger->SaveXMLLog(), AutomationError);
  EXPECT_NO_THROW(logger->ClearXMLLog());
  std::string path = dir.File("errors.xml");
  logger->pLogXML(path);
  Log(static_cast<int32_t>(0xA00003E9u), "first");
  Log(53, "second & <third>");
  logger->gbDateStamp = true;  // the date attribute comes first
  Log(-2147467259, "\"quoted\"");
  logger->SaveXMLLog();
  const std::string source = "strSource=\"@PC7 in Mod.Proc-\"/>\n";
  const std::string created = ReadFile(path);
  EXPECT_EQ(created,
            "<?xml version='1.0'?>\n<!--ORVEX log document: records are appended under the root "
            "element; do not edit while a logger is saving.-->\n"
            "<!--Nuvio; The DOV Ized Azid, Error Report Started on 12/5/2026 7:29:54 PM-->\n"
            "<errors>\n  <error lErrorNumber=\"1001\" strDescription=\"first\" " +
                source +
                "  <error lErrorNumber=\"53\" strDescription=\"second &amp; &lt;third&gt;\" " +
                source + "  <error dDate=\"2026-12-05T19:29:54\" lErrorNumber=\"-2147467259\" " +
                "strDescription=\"&quot;quoted&quot;\" " + source + "</errors>\n");

  // Nothing buffered: the file is not rewritten.
  std::filesystem::file_time_type before = std::filesystem::last_write_time(path);
  logger->SaveXMLLog();
  EXPECT_EQ(std::filesystem::last_write_time(path), before);

  // Two more, from a later day: the header keeps the creation date.
  host->now = Date(2026, 12, 7, 8, 0, 0);
  Log(1, "fourth");
  Log(2, "fifth");
  logger->SaveXMLLog();
  const std::string later = "  <error dDate=\"2026-12-07T08:00:00\" lErrorNumber=\"";
  EXPECT_EQ(ReadFile(path), created.substr(0, created.size() - 10) + later +
                                "1\" strDescription=\"fourth\" " + source + later +
                                "2\" strDescription=\"fifth\" " + source + "</errors>\n");

  Log(2, "dropped");
  host->now = Date(2027, 1, 2, 3, 4, 5);
  logger->ClearXMLLog();
  EXPECT_TRUE(RecordLines(path).empty());
  EXPECT_NE(ReadFile(path).find("Started on 1/2/2027 3:04:05 AM"), std::string::npos);
  Log(3, "after clear");
  logger->CloseXMLLog();  // changes neither the file nor the buffer
  logger->SaveXMLLog();
  EXPECT_EQ(RecordLines(path), std::vector<std::string>{"error: dDate=2027-01-02T03:04:05 "
                                                        "lErrorNumber=3 strDescription=after clear "
                                                        "strSource=@PC7 in Mod.Proc-"});
}

// A log edited by hand: other quotes, references, comments, a nested element, CR LF.
const std::string kHandHead =
    "<?xml version='1.0'?>\r\n<!--notice-->\r\n<errors>\r\n"
    "  <error lErrorNumber='1' strDescription='&#65;&amp;B \xD8\xB9'/>\r\n"
    "  <!-- kept -->\r\n"
    "  <error lErrorNumber=\"2\" strDescription=\"with child\"><note>text</note></error>\r\n";
const std::string kHandTail = "</errors>\r\n<!-- end -->\r\n";

TEST_F(XmlLogTest, AHandWrittenLogKeepsItsBytesAndReadsAsAFullRewriteWould) {
  // The same log, once as it is and once with a processing instruction that makes the logger
  // load and rewrite it whole.
  const std::string kept = dir.File("kept.xml");
  const std::string rewritten = dir.File("rewritten.xml");
  WriteFile(kept, kHandHead + kHandTail);
  WriteFile(rewritten, "<?xml version='1.0'?>\r\n<?app x?>" + kHandHead.substr(23) + kHandTail);
  for (const std::string& path : {kept, rewritten}) {
    CLogError logger;
    logger.pLogXML(path);
    LogThree(logger);
    logger.SaveXMLLog();
    logger.SaveXMLLog();  // nothing buffered any more: no change
  }

  const std::string keptText = ReadFile(kept);
  EXPECT_EQ(keptText.substr(0, kHandHead.size()), kHandHead);
  EXPECT_EQ(keptText.substr(keptText.size() - kHandTail.size()), kHandTail);
  EXPECT_EQ(ReadFile(rewritten).find('\r'), std::string::npos) << "not rewritten whole";

  std::vector<std::string> records = RecordLines(kept);
  EXPECT_EQ(records, RecordLines(rewritten));
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[0], "error: lErrorNumber=1 strDescription=A&B \xD8\xB9");
  EXPECT_EQ(records[2],
            "error: lErrorNumber=53 strDescription=new & <one> strSource=@PC7 in Mod.Proc-");
  EXPECT_EQ(records[4],
            "error: lErrorNumber=7 strDescription=three \xEF\xBF\xBD control "
            "strSource=@PC7 in Mod.Proc-");
}

TEST_F(XmlLogTest, ALogTheLoggersWroteStaysAsTheDocumentWouldSaveIt) {
  const std::string path = dir.File("events.xml");
  CLogEvent logger;
  logger.pLogXML(path);
  std::string event = "started";
  logger.LogEvent(event, ltXML);
  logger.SaveXMLLog();
  logger.ClearXMLLog();  // an empty root: <events/>
  for (int i = 0; i < 3; ++i) {
    event = "event " + std::to_string(i) + " & \xD8\xB9";
    logger.LogEvent(event, ltXML);
    logger.SaveXMLLog();
  }
  testing::XmlLogFile file = testing::ReadXmlLog(path);
  ASSERT_EQ(file.records.size(), 3u);
  EXPECT_EQ(file.records[2].attributes[0].second, "event 2 & \xD8\xB9");

  // Loading and saving the document changes nothing: the appended records are written as the
  // document writes them (indentation, escaping, raw UTF-8).
  const std::string before = ReadFile(path);
  auto doc = xmldom::Document::Create();
  ASSERT_TRUE(doc->load(path));
  doc->save(dir.File("resaved.xml"));
  EXPECT_EQ(ReadFile(dir.File("resaved.xml")), before);
}

TEST_F(XmlLogTest, FilesTheAppendIsNotSureAboutStillGetTheirRecordsOrRaise) {
  // Well-formed but not in a log's shape: loaded and rewritten whole, as before.
  const std::string cdata = dir.File("cdata.xml");
  WriteFile(cdata, "<errors><![CDATA[x]]><error lErrorNumber='1'/></errors>");
  CLogError logger;
  logger.pLogXML(cdata);
  Log(logger, 2, "second");
  logger.SaveXMLLog();
  EXPECT_EQ(RecordLines(cdata).size(), 2u);
  EXPECT_NE(ReadFile(cdata).find("<error lErrorNumber=\"1\"/>"), std::string::npos);

  // Another root: the records go under it, as a full load has always put them.
  const std::string other = dir.File("other.xml");
  WriteFile(other, "<events><event strEvent='e'/></events>");
  logger.pLogXML(other);
  Log(logger, 3, "third");
  logger.SaveXMLLog();
  testing::XmlLogFile file = testing::ReadXmlLog(other);
  EXPECT_EQ(file.rootName, "events");
  ASSERT_EQ(file.records.size(), 2u);
  EXPECT_EQ(file.records[1].name, "error");

  // Not well-formed (a byte that is not UTF-8): raises, the file and the records stay.
  const std::string broken = dir.File("broken.xml");
  const std::string brokenText = "<errors><error strDescription='\xFF'/></errors>";
  WriteFile(broken, brokenText);
  logger.pLogXML(broken);
  Log(logger, 4, "kept");
  EXPECT_THROW(logger.SaveXMLLog(), AutomationError);
  EXPECT_EQ(ReadFile(broken), brokenText);
  WriteFile(broken, kHandHead + kHandTail);  // repaired
  logger.SaveXMLLog();
  std::vector<std::string> records = RecordLines(broken);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[2].substr(0, 42), "error: lErrorNumber=4 strDescription=kept ");
}

TEST_F(XmlLogTest, ALogInAnotherEncodingKeepsItsTextsAndItsEncoding) {
  const std::string latin1 =
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<errors>\n"
      "  <error lErrorNumber=\"1\" strDescription=\"caf\xE9\"/>\n</errors>\n";
  const std::string utf16 =
      "\xFF\xFE" + testing::Utf16("<errors><error lErrorNumber=\"1\" strDescription=\"caf") +
      std::string("\xE9\0", 2) + testing::Utf16("\"/></errors>");
  struct Case {
    const char* name;
    std::string bytes;
  };
  for (const Case& file : {Case{"latin1.xml", latin1}, Case{"utf16.xml", utf16}}) {
    SCOPED_TRACE(file.name);
    const std::string path = dir.File(file.name);
    WriteFile(path, file.bytes);
    CLogError logger;
    logger.pLogXML(path);
    Log(logger, 2, "\xC3\xBC \xD8\xB9");  // ü and an Arabic letter Latin-1 cannot hold
    logger.SaveXMLLog();
    Log(logger, 3, "again \xC3\xA9");
    logger.SaveXMLLog();
    EXPECT_EQ(
        RecordLines(path),
        (std::vector<std::string>{
            "error: lErrorNumber=1 strDescription=caf\xC3\xA9",
            "error: lErrorNumber=2 strDescription=\xC3\xBC \xD8\xB9 strSource=@PC7 in Mod.Proc-",
            "error: lErrorNumber=3 strDescription=again \xC3\xA9 strSource=@PC7 in Mod.Proc-"}));
  }
  EXPECT_NE(ReadFile(dir.File("latin1.xml")).find("encoding=\"ISO-8859-1\""), std::string::npos);
  EXPECT_NE(ReadFile(dir.File("latin1.xml")).find("caf\xE9"), std::string::npos);
}

TEST_F(XmlLogTest, ARecordTooBigToReadBackIsRefusedWhenLogged) {
  const std::string path = dir.File("big.xml");
  CLogError logger;
  logger.pLogXML(path);
  // An ampersand takes five bytes in the file: 8,000,000 bytes is the most an attribute takes.
  const std::string limit(1'600'000, '&');
  TErrorObject big{0, limit + "x", 0, "", 0, ""};
  EXPECT_NE(logger.LogError("Mod", "Proc", big, ltXML) & etwelrLOGTOXML_FAILED, 0);
  EXPECT_EQ(big.lNumber, errInvalidProcedureCall);
  Log(logger, 1, limit);
  logger.SaveXMLLog();
  Log(logger, 2, "after");
  logger.SaveXMLLog();
  std::vector<std::string> records = RecordLines(path);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_NE(records[1].find("strDescription=after"), std::string::npos);
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
