#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <vector>

#include "platform/xmldom/sax.hpp"
#include "support/automation_matchers.hpp"
#include "support/temp_dir.hpp"

namespace orvex::xmldom {
namespace {

using orvex::testing::TempDir;
using orvex::testing::WriteFile;

// Records every callback as one line of text.
class RecordingHandler : public ContentHandler, public ErrorHandler {
 public:
  std::vector<std::string> events;
  std::string throwAtElement;  // startElement of this name throws
  std::vector<int32_t> fatalLines;

  void documentLocator(const Locator&) override { events.push_back("locator"); }
  void startDocument() override { events.push_back("startDocument"); }
  void endDocument() override { events.push_back("endDocument"); }
  void startPrefixMapping(std::string_view prefix, std::string_view uri) override {
    events.push_back("map " + std::string(prefix) + "=" + std::string(uri));
  }
  void endPrefixMapping(std::string_view prefix) override {
    events.push_back("unmap " + std::string(prefix));
  }
  void startElement(std::string_view uri, std::string_view localName, std::string_view qName,
                    const Attributes& attributes) override {
    if (qName == throwAtElement) throw std::runtime_error("handler refused " + throwAtElement);
    std::string line =
        "start {" + std::string(uri) + "}" + std::string(localName) + " " + std::string(qName);
    for (int32_t i = 0; i < attributes.length(); ++i)
      line += " " + attributes.getQName(i) + "=" + attributes.getValue(i);
    // As the glossary extractor reads it: by name, required.
    if (qName == "Glossary") line += " English:" + attributes.getValueFromName("", "English");
    events.push_back(line);
  }
  void endElement(std::string_view, std::string_view, std::string_view qName) override {
    events.push_back("end " + std::string(qName));
  }
  void characters(std::string_view chars) override {
    if (!events.empty() && events.back().starts_with("chars "))
      events.back() += chars;  // the parser may split a text
    else
      events.push_back("chars " + std::string(chars));
  }
  void ignorableWhitespace(std::string_view) override {}
  void processingInstruction(std::string_view target, std::string_view data) override {
    events.push_back("pi " + std::string(target) + " " + std::string(data));
  }
  void skippedEntity(std::string_view name) override {
    events.push_back("skipped " + std::string(name));
  }
  void error(const Locator&, const std::string&, int32_t) override {}
  void fatalError(const Locator& locator, const std::string& message, int32_t) override {
    fatalLines.push_back(locator.lineNumber());
    events.push_back("fatal " + message);
  }
  void ignorableWarning(const Locator&, const std::string&, int32_t) override {}
};

struct Reader {
  std::shared_ptr<RecordingHandler> handler = std::make_shared<RecordingHandler>();
  SAXXMLReader reader;
  Reader() {
    reader.contentHandler(handler);
    reader.errorHandler(handler);
  }
};

TEST(SaxReader, ReportsTheDocumentInOrderWithAttributesAndNamespaces) {
  Reader r;
  r.reader.parse(
      "<?xml version='1.0'?><?app run?>"
      "<g:Glossaries xmlns:g='urn:g'><Glossary ID='7' English='Yes &amp; &#x4E;o'>t<![CDATA[<x>]]>"
      "</Glossary></g:Glossaries>");
  EXPECT_EQ(r.handler->events,
            (std::vector<std::string>{
                "locator", "startDocument", "pi app run", "map g=urn:g",
                "start {urn:g}Glossaries g:Glossaries",
                "start {}Glossary Glossary ID=7 English=Yes & No English:Yes & No", "chars t<x>",
                "end Glossary", "end g:Glossaries", "unmap g", "endDocument"}));
  // A missing attribute read by name ends the parse with its error, no fatal error besides.
  Reader missing;
  EXPECT_AUTOMATION_ERROR(missing.reader.parse("<G><Glossary ID='2'/><Glossary English='x'/></G>"),
                          kInvalidArgument, kSaxSource, "The element has no attribute 'English'.");
  EXPECT_EQ(missing.handler->events.back(), "start {}G G");
  EXPECT_TRUE(missing.handler->fatalLines.empty());
}

TEST(SaxReader, FilesThatCannotBeReadOrParsedRaiseTheirError) {
  TempDir dir;
  Reader r;
  EXPECT_AUTOMATION_ERROR(r.reader.parseURL(dir.File("missing.xml")), 53, kSaxSource, "");
  EXPECT_AUTOMATION_ERROR(r.reader.parseURL(dir.File("no/folder.xml")), 76, kSaxSource, "");
  EXPECT_AUTOMATION_ERROR(r.reader.parseURL("http://127.0.0.1/g.xml"), 0x80070005u, kSaxSource, "");
  // A folder opens but cannot be read: the read's error, and no parse error besides.
  EXPECT_THROW(r.reader.parseURL(dir.path().string()), AutomationError);
  EXPECT_TRUE(r.handler->events.empty());

  // A malformed document gives one fatal error, with its line, then raises it.
  WriteFile(dir.File("bad.xml"), "<root>\n<a>\n</b>\n</root>\n");
  AutomationError raised = orvex::testing::CatchAutomationError(
      [&] { r.reader.parseURL("file://" + dir.File("bad.xml")); });
  EXPECT_EQ(raised.Number, kXmlParseError);
  ASSERT_EQ(r.handler->fatalLines, std::vector<int32_t>{3});
  EXPECT_EQ("fatal " + raised.Description, r.handler->events.back());
  EXPECT_TRUE(raised.Description.find("mismatch") != std::string::npos &&
              raised.Description.back() != '\n')
      << raised.Description;
}

// Internal entities are replaced wherever they are used; external ones are never read, and an
// expansion bomb, whether nested or one large text used many times, ends the parse at once.
TEST(SaxReader, InternalEntitiesAreReplacedAndNothingElseIsExpandedOrRead) {
  TempDir dir;
  WriteFile(dir.File("secret.txt"), "SECRET-CONTENTS");
  std::string laughs = "<!DOCTYPE r [\n<!ENTITY a 'lollollollol'>\n";
  for (char name = 'b'; name <= 'k'; ++name) {
    std::string references;
    for (int i = 0; i < 10; ++i) references += std::string("&") + char(name - 1) + ";";
    laughs += std::string("<!ENTITY ") + name + " '" + references + "'>\n";
  }
  std::string quadratic = "<!DOCTYPE r [<!ENTITY a '" + std::string(100000, 'x') + "'>]>\n<r a='";
  for (int i = 0; i < 100000; ++i) quadratic += "&a;";
  const std::string secret = "'file://" + dir.File("secret.txt") + "'";
  const std::vector<std::string> shell = {"locator", "startDocument", "", "end r", "endDocument"};
  const std::pair<std::string, std::string> cases[] = {
      // document, its start event ("": refused)
      {"<!DOCTYPE r [<!ENTITY co 'Orvex &amp; Sons'>\n<!ENTITY ref '&co; Ltd'>]>\n"
       "<r a='&ref;'>&co;!</r>",
       "start {}r r a=Orvex & Sons Ltd"},
      {"<!DOCTYPE r [<!ENTITY e 'one'><!ENTITY e 'two'>]><r a='&e;'/>", "start {}r r a=one"},
      {laughs + "]>\n<r>&k;</r>", ""},
      {laughs + "]>\n<r a='&k;'/>", ""},
      {quadratic + "'/>", ""},
      {"<!DOCTYPE r [<!ENTITY x SYSTEM " + secret + ">]>\n<r a='&x;'>&x;</r>", ""},
      {"<r a='&nope;'/>", ""},
      {"<!DOCTYPE r SYSTEM " + secret + "><r/>", "start {}r r"},  // the DTD is not read
  };
  for (const auto& c : cases) {
    const std::string& document = c.first;  // (a reference: the check's lambda takes it)
    const std::string& start = c.second;
    SCOPED_TRACE(document.substr(0, 80));
    Reader r;
    const auto began = std::chrono::steady_clock::now();
    if (start.empty()) {
      EXPECT_AUTOMATION_ERROR(r.reader.parse(document), kXmlParseError, kSaxSource, "");
      EXPECT_EQ(r.handler->fatalLines.size(), 1u);
    } else {
      r.reader.parse(document);
      std::vector<std::string> expected = shell;
      expected[2] = start;
      if (start.ends_with("Ltd")) expected.insert(expected.begin() + 3, "chars Orvex & Sons!");
      EXPECT_EQ(r.handler->events, expected);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(2));
    // A refused document may have delivered the start of an expansion, never much of it.
    size_t delivered = 0;
    for (const std::string& event : r.handler->events) {
      EXPECT_EQ(event.find("SECRET"), std::string::npos) << event;
      delivered += event.size();
    }
    EXPECT_LT(delivered, 64u * 1024);
  }
}

TEST(SaxReader, FeaturesAreReadAndTheProhibitDtdFeatureIsHonoured) {
  Reader r;
  EXPECT_TRUE(r.reader.getFeature("http://xml.org/sax/features/namespaces"));
  EXPECT_FALSE(r.reader.getFeature("http://xml.org/sax/features/external-general-entities"));
  EXPECT_AUTOMATION_ERROR(r.reader.getFeature("no-such-feature"), kInvalidArgument, kSaxSource, "");
  EXPECT_AUTOMATION_ERROR(
      r.reader.putFeature("http://xml.org/sax/features/external-general-entities", true),
      kNotImplemented, kSaxSource, "");
  r.reader.parse("<!DOCTYPE r><r/>");
  r.reader.putFeature("prohibit-dtd", true);
  EXPECT_TRUE(r.reader.getFeature("prohibit-dtd"));
  EXPECT_AUTOMATION_ERROR(r.reader.parse("<!DOCTYPE r><r/>"), kXmlParseError, kSaxSource, "");
}

// A file of many pieces of the reader's buffer, with a handler that stops the parse three
// quarters in: every element before arrives, in order; nothing after; the handler's exception
// comes through unchanged; the same reader parses the next document normally.
TEST(SaxReader, LargeFilesStreamInOrderAndStopWhereTheHandlerSays) {
  TempDir dir;
  const std::string path = dir.File("large.xml");
  auto element = [](int i) {
    return "<e n=\"" + std::to_string(i) + "\" t=\"&#x639;&amp;" + std::string(i % 50, 'x') +
           "\"/>\n";
  };
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<list>\n";
  for (int i = 0; i < 40000; ++i) text += (i == 30000 ? "<stop/>" : "") + element(i);
  ASSERT_GT(text.size(), 2u << 20);
  WriteFile(path, text + "</list>\n");
  Reader r;
  r.handler->throwAtElement = "stop";
  try {
    r.reader.parseURL(path);
    ADD_FAILURE() << "the handler's exception was swallowed";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "handler refused stop");
  }
  // locator, startDocument, start list, its line break; start, end and line break of each.
  const auto& events = r.handler->events;
  ASSERT_EQ(events.size(), 4u + 3 * 30000);
  for (int i : {0, 29999})
    EXPECT_EQ(events[4 + 3 * i],
              "start {}e e n=" + std::to_string(i) + " t=\xD8\xB9&" + std::string(i % 50, 'x'));
  EXPECT_TRUE(r.handler->fatalLines.empty());
  r.handler->throwAtElement.clear();
  r.reader.parse("<c/>");
  EXPECT_EQ(events.back(), "endDocument");
}

}  // namespace
}  // namespace orvex::xmldom
