// The in-place append of an XML log against what saving the whole document writes; the
// loggers' tests cover the files it declines.
#include "platform/xmldom/log_file_append.hpp"

#include <gtest/gtest.h>

#include "platform/xmldom/dom.hpp"
#include "support/temp_dir.hpp"

namespace orvex::xmldom {
namespace {

using orvex::testing::ReadFile;
using orvex::testing::WriteFile;
using orvex::testing::TempDir;

void AddRecord(Document& doc, const NodePtr& parent, const std::string& description) {
  NodePtr record = parent->appendChild(doc.createElement("error"));
  NodePtr date = doc.createAttribute("dDate");
  date->setNodeValue(Date(2026, 12, 5, 19, 29, 54));
  record->attributes().setNamedItem(date);
  NodePtr text = doc.createAttribute("strDescription");
  text->setNodeValue(description);
  record->attributes().setNamedItem(text);
}

// New records waiting in a document of their own, as the loggers buffer them.
struct Buffer {
  std::shared_ptr<Document> doc = Document::Create();
  NodePtr root = doc->appendChild(doc->createElement("errors"));
};

// What saving the whole document gives: the file loaded, the records moved in, saved again.
std::string SavedThroughTheDom(const std::string& path, const std::string& copy,
                               const Buffer& records) {
  auto file = Document::Create();
  EXPECT_TRUE(file->load(path));
  auto again = Document::Create();
  EXPECT_TRUE(again->loadXML(records.doc->xml()));
  while (NodePtr record = again->documentElement()->firstChild())
    file->documentElement()->appendChild(record);
  file->save(copy);
  return ReadFile(copy);
}

TEST(LogFileAppend, WritesTheSameBytesAsSavingTheWholeDocument) {
  TempDir dir;
  const std::vector<std::string> descriptions = {"plain",
                                                 "quotes \" ' and & < > ]]>",
                                                 "Arabic \xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A",
                                                 "line\nbreak\ttab\rreturn",
                                                 "emoji \xF0\x9F\x98\x80",
                                                 "control \x01 byte"};
  for (bool cleared : {false, true}) {
    SCOPED_TRACE(cleared ? "empty root" : "root with records");
    const std::string path = dir.File(cleared ? "cleared.xml" : "log.xml");
    {
      auto log = Document::Create();
      log->appendChild(log->createProcessingInstruction("xml", "version='1.0'"));
      log->appendChild(log->createComment("notice \xD8\xB9"));
      NodePtr root = log->appendChild(log->createElement("errors"));
      if (!cleared) AddRecord(*log, root, "old & <older>");
      log->save(path);
    }
    Buffer records;
    for (const std::string& description : descriptions)
      AddRecord(*records.doc, records.root, description);

    const std::string expected = SavedThroughTheDom(path, dir.File("expected.xml"), records);
    SaveRecordsToLogFile(path, "errors", *records.root, *Document::Create(), false);
    EXPECT_EQ(ReadFile(path), expected);
    // The records stay with their parent: taking them is the caller's business.
    EXPECT_EQ(records.root->childNodes().length(), static_cast<int32_t>(descriptions.size()));
  }
}

TEST(LogFileAppend, CutsATornSaveBackToItsLastWholeRecord) {
  TempDir dir;
  const std::string path = dir.File("torn.xml");
  const std::string whole = "<?xml version='1.0'?>\n<errors>\n  <error n=\"1\"/>\n";
  // Killed in the middle of a record, or after a whole record and before the end tag.
  for (const std::string& torn : {std::string("  <error n=\"2\" strDescr"), std::string()}) {
    WriteFile(path, whole + torn);
    Buffer records;
    AddRecord(*records.doc, records.root, "after");
    SaveRecordsToLogFile(path, "errors", *records.root, *Document::Create(), false);
    EXPECT_EQ(ReadFile(path), whole + "  <error dDate=\"2026-12-05T19:29:54\" "
                                      "strDescription=\"after\"/>\n</errors>\n");
  }
}

}  // namespace
}  // namespace orvex::xmldom
