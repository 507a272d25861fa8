#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "platform/xmldom/sax.hpp"
#include "support/automation_matchers.hpp"
#include "support/temp_dir.hpp"

namespace orvex::xmldom {
namespace {

using orvex::testing::WriteFile;

using orvex::testing::TempDir;

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
    for (int32_t i = 0; i < attributes.length(); ++i) {
      line += " " + attributes.getQName(i) + "=" + attributes.getValue(i);
    }
    events.push_back(line);
  }
  void endElement(std::string_view, std::string_view, std::string_view qName) override {
    events.push_back("end " + std::string(qName));
  }
  void characters(std::string_view chars) override {
    if (!events.empty() && events.back().rfind("chars ", 0) == 0) {
      events.back() += chars;  // the parser may split a text
    } else {
      events.push_back("chars " + std::string(chars));
    }
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
  std::vector<std::string> expected = {"locator",
                                       "startDocument",
                                       "pi app run",
                                       "map g=urn:g",
                                       "start {urn:g}Glossaries g:Glossaries",
                                       "start {}Glossary Glossary ID=7 English=Yes & No",
                                       "chars t<x>",
                                       "end Glossary",
                                       "end g:Glossaries",
                                       "unmap g",
                                       "endDocument"};
  EXPECT_EQ(r.handler->events, expected);
}

// Reads ID and English of each Glossary element, as the glossary extractor does.
class AttributeReader : public RecordingHandler {
 public:
  std::vector<std::string> values;
  void startElement(std::string_view, std::string_view, std::string_view qName,
                    const Attributes& attributes) override {
    if (qName != "Glossary") return;
    values.push_back(attributes.getValueFromName("", "ID"));
    values.push_back(attributes.getValueFromName("", "English"));
  }
};

TEST(SaxReader, MissingAttributeEndsTheParseWithItsErrorAndKeepsEarlierEvents) {
  TempDir dir;
  WriteFile(dir.File("g.xml"),
            "<G>\n<Glossary ID='1' English='One'/>\n<Glossary ID='2'/>\n"
            "<Glossary ID='3' English='Three'/>\n</G>");
  auto handler = std::make_shared<AttributeReader>();
  SAXXMLReader reader;
  reader.contentHandler(handler);
  reader.errorHandler(handler);
  EXPECT_AUTOMATION_ERROR(reader.parseURL(dir.File("g.xml")), kInvalidArgument, kSaxSource,
                          "The element has no attribute 'English'.");
  EXPECT_EQ(handler->values, (std::vector<std::string>{"1", "One", "2"}));
  EXPECT_TRUE(handler->fatalLines.empty());
}

TEST(SaxReader, FilesThatCannotBeReadOrParsedRaiseTheirError) {
  TempDir dir;
  Reader r;
  EXPECT_AUTOMATION_ERROR(r.reader.parseURL(dir.File("missing.xml")), 53, kSaxSource, "");
  EXPECT_AUTOMATION_ERROR(r.reader.parseURL(dir.File("no/folder.xml")), 76, kSaxSource, "");
  EXPECT_AUTOMATION_ERROR(r.reader.parseURL("http://127.0.0.1/g.xml"), 0x80070005u, kSaxSource, "");
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

  // A relative path is read from the base URL's folder.
  WriteFile(dir.File("rel.xml"), "<r/>");
  r.reader.baseURL("file://" + dir.File("base.xml"));
  EXPECT_EQ(r.reader.baseURL(), "file://" + dir.File("base.xml"));
  r.reader.parseURL("rel.xml");
  EXPECT_EQ(r.handler->events.back(), "endDocument");
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
  quadratic += "'/>";
  const std::string external = "<!DOCTYPE r [<!ENTITY x SYSTEM 'file://" + dir.File("secret.txt") +
                               "'>]>\n<r a='&x;'>&x;</r>";
  const struct {
    const char* name;
    std::string document;
    std::vector<std::string> expected;  // empty: refused
  } cases[] = {
      {"internal entity in attribute and content",
       "<!DOCTYPE r [<!ENTITY co 'Orvex &amp; Sons'>\n<!ENTITY ref '&co; Ltd'>]>\n"
       "<r a='&ref;'>&co;!</r>",
       {"locator", "startDocument", "start {}r r a=Orvex & Sons Ltd", "chars Orvex & Sons!",
        "end r", "endDocument"}},
      {"the first declaration binds",
       "<!DOCTYPE r [<!ENTITY e 'one'><!ENTITY e 'two'>]><r a='&e;'/>",
       {"locator", "startDocument", "start {}r r a=one", "end r", "endDocument"}},
      {"nested bomb", laughs + "]>\n<r>&k;</r>", {}},
      {"nested bomb in an attribute", laughs + "]>\n<r a='&k;'/>", {}},
      {"quadratic bomb", quadratic, {}},
      {"external entity", external, {}},
      {"undeclared entity", "<r a='&nope;'/>", {}},
      {"external DTD, not read",
       "<!DOCTYPE r SYSTEM 'file://" + dir.File("secret.txt") + "'><r/>",
       {"locator", "startDocument", "start {}r r", "end r", "endDocument"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reader r;
    auto start = std::chrono::steady_clock::now();
    if (c.expected.empty()) {
      EXPECT_AUTOMATION_ERROR(r.reader.parse(c.document), kXmlParseError, kSaxSource, "");
      EXPECT_EQ(r.handler->fatalLines.size(), 1u);
    } else {
      r.reader.parse(c.document);
      EXPECT_EQ(r.handler->events, c.expected);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
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

// A file of many pieces of the reader's buffer: every element arrives, in order, with its line;
// a handler that stops the parse ends it at once; a file that cannot be read raises its error.
TEST(SaxReader, LargeFilesStreamInOrderAndStopWhereTheHandlerSays) {
  TempDir dir;
  const std::string path = dir.File("large.xml");
  constexpr int kElements = 40000;
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<list>\n";
  for (int i = 0; i < kElements; ++i) {
    text += "  <e n=\"" + std::to_string(i) + "\" t=\"&#x639;&amp;" + std::string(i % 50, 'x') +
            "\"/>\n";
  }
  text += "</list>\n";
  ASSERT_GT(text.size(), 2u << 20);
  WriteFile(path, text);

  Reader r;
  r.reader.parseURL(path);
  // locator, startDocument, start list, its first line break; start, end and the line break of
  // each element; end list, endDocument.
  ASSERT_EQ(r.handler->events.size(), 4u + 3 * kElements + 2);
  EXPECT_EQ(r.handler->events[4], "start {}e e n=0 t=\xD8\xB9&");
  EXPECT_EQ(r.handler->events[4 + 3 * (kElements - 1)],
            "start {}e e n=39999 t=\xD8\xB9&" + std::string(39999 % 50, 'x'));
  EXPECT_TRUE(r.handler->fatalLines.empty());

  // A stop three quarters into the file: nothing after it is reported.
  const size_t stopAt = text.find("<e n=\"30000\"");
  WriteFile(path, text.substr(0, stopAt) + "<stop/>" + text.substr(stopAt));
  Reader stopped;
  stopped.handler->throwAtElement = "stop";
  try {
    stopped.reader.parseURL(path);
    ADD_FAILURE() << "the handler's exception was swallowed";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "handler refused stop");  // unchanged
  }
  EXPECT_EQ(stopped.handler->events.size(), 4u + 3 * 30000);
  EXPECT_EQ(stopped.handler->events[4 + 3 * 29999],
            "start {}e e n=29999 t=\xD8\xB9&" + std::string(29999 % 50, 'x'));
  // The same reader parses the next document normally.
  stopped.handler->throwAtElement.clear();
  stopped.reader.parse("<c/>");
  EXPECT_EQ(stopped.handler->events.back(), "endDocument");

  // A folder opens but cannot be read: the read's error, and no parse error besides.
  Reader folder;
  EXPECT_THROW(folder.reader.parseURL(dir.path().string()), AutomationError);
  EXPECT_TRUE(folder.handler->fatalLines.empty());
}

}  // namespace
}  // namespace orvex::xmldom
