// CXMLExtractor as a SAX filter over the real reader, on documents written to a temp folder.
#include "xml/xml_extractor.hpp"

#include <gtest/gtest.h>

#include <fstream>

#include "support/automation_matchers.hpp"
#include "support/recording_host.hpp"
#include "support/temp_dir.hpp"

namespace orvex::testing {
namespace {

class CXMLExtractorTest : public ::testing::Test {
 protected:
  CXMLExtractorTest() {
    extractor_->parent(reader_);
    extractor_->cutElement = "Glossary";
    extractor_->gdicGlossary = glossary_;
    extractor_->gstrLanguage = "English";
  }
  // Writes the document and parses it through the reader, as the glossary table does.
  void ParseFile(const std::string& document) {
    std::ofstream(file_, std::ios::binary) << document;
    reader_->parseURL(file_);
  }
  std::string Item(const std::string& key) {
    std::optional<std::string_view> text = glossary_->Find(key);
    EXPECT_TRUE(text.has_value()) << "no entry " << key;
    return std::string(text.value_or(""));
  }

  HostGuard host_;
  TempDir folder_;
  std::string file_ = folder_.File("glossary.xml");
  std::shared_ptr<xmldom::SAXXMLReader> reader_ = std::make_shared<xmldom::SAXXMLReader>();
  std::shared_ptr<CXMLExtractor> extractor_ = std::make_shared<CXMLExtractor>();
  ReaderHandlersRelease release_{reader_};
  std::shared_ptr<scripting::TextDictionary> glossary_ =
      std::make_shared<scripting::TextDictionary>();
};

TEST_F(CXMLExtractorTest, ExtractsOnlyElementsNamedExactly) {
  ParseFile(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<Root xmlns:g=\"urn:glossary\">\n"
      "  <Glossary ID=\"7\" English=\"Yes\" Arabic=\"نعم\">ignored text</Glossary>\n"
      "  <Section><Glossary ID=\"8\" English=\"No\" Arabic=\"لا\"/></Section>\n"
      "  <glossary ID=\"9\" English=\"lower case\"/>\n"
      "  <g:Glossary ID=\"10\" English=\"prefixed\"/>\n"
      "  <Glossary ID=\"07\" English=\" padded \"/>\n"
      "</Root>\n");
  EXPECT_EQ(glossary_->Keys(), (std::vector<std::string>{"7", "8", "07"}));
  EXPECT_EQ(Item("7"), "Yes");
  EXPECT_EQ(Item("8"), "No");
  EXPECT_EQ(Item("07"), " padded ");
  EXPECT_TRUE(host_->boxes.empty());

  auto arabic = std::make_shared<scripting::TextDictionary>();
  extractor_->gdicGlossary = arabic;
  extractor_->gstrLanguage = "Arabic";
  std::ofstream(file_, std::ios::binary) << "<Glossary ID=\"7\" English=\"Yes\" Arabic=\"نعم\"/>";
  reader_->parseURL(file_);
  EXPECT_EQ(arabic->Find("7"), "نعم");
}

TEST_F(CXMLExtractorTest, ADocumentWithoutTheElementLeavesTheDictionaryEmpty) {
  ParseFile("<Root><Other ID=\"1\" English=\"x\"/></Root>");
  EXPECT_EQ(glossary_->Count(), 0);
}

TEST_F(CXMLExtractorTest, ADuplicateIdStopsTheParse) {
  AutomationError duplicate = CatchAutomationError([&] {
    ParseFile(
        "<Root><Glossary ID=\"1\" English=\"first\"/><Glossary ID=\"1\" English=\"second\"/>"
        "<Glossary ID=\"2\" English=\"after\"/></Root>");
  });
  EXPECT_EQ(duplicate.Number, errKeyExists);
  EXPECT_EQ(Item("1"), "first");
  EXPECT_FALSE(glossary_->Exists("2"));
}

TEST_F(CXMLExtractorTest, AMissingAttributeStopsTheParse) {
  EXPECT_THROW(ParseFile("<Root><Glossary ID=\"1\" English=\"one\"/><Glossary ID=\"2\" "
                         "Arabic=\"اثنان\"/><Glossary ID=\"3\" English=\"three\"/></Root>"),
               AutomationError);
  EXPECT_EQ(glossary_->Keys(), std::vector<std::string>{"1"});
  EXPECT_THROW(ParseFile("<Root><Glossary English=\"no id\"/></Root>"), AutomationError);
  EXPECT_EQ(glossary_->Count(), 1);
}

TEST_F(CXMLExtractorTest, AMalformedDocumentShowsOneBoxWithTheLineNumber) {
  AutomationError malformed = CatchAutomationError([&] {
    ParseFile(
        "<Root>\n  <Glossary ID=\"1\" English=\"one\"/>\n  <Glossary ID=\"2\" "
        "English=\"two\">\n</Root>\n");
  });
  EXPECT_NE(malformed.Number, 0);
  ASSERT_EQ(host_->boxes.size(), 1u);
  const std::string& text = host_->boxes[0].prompt;
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.substr(text.size() - 3), "  4") << text;
  EXPECT_EQ(host_->boxes[0].style, 0);
  EXPECT_EQ(host_->boxes[0].title, "");
  EXPECT_EQ(Item("1"), "one");  // the entries before the error stay

  // Where no box can be shown, the parse error still reaches the caller.
  host_->failBoxes = true;
  AutomationError unseen = CatchAutomationError([&] { ParseFile("<Root>\n<"); });
  EXPECT_EQ(unseen.Number, malformed.Number);
}

TEST_F(CXMLExtractorTest, ActsAsAFilterOverItsParent) {
  EXPECT_EQ(extractor_->parent(), reader_);
  EXPECT_EQ(reader_->contentHandler().get(),
            static_cast<xmldom::ContentHandler*>(extractor_.get()));
  EXPECT_EQ(reader_->errorHandler().get(), static_cast<xmldom::ErrorHandler*>(extractor_.get()));

  // Parses, features and base URLs go to the parent.
  std::ofstream(folder_.File("relative.xml")) << "<Glossary ID=\"5\" English=\"five\"/>";
  extractor_->baseURL(folder_.path().string() + "/");
  EXPECT_EQ(reader_->baseURL(), extractor_->baseURL());
  extractor_->parseURL("relative.xml");
  EXPECT_EQ(Item("5"), "five");
  extractor_->parse("<Glossary ID=\"6\" English=\"six\"/>");
  EXPECT_EQ(Item("6"), "six");
  EXPECT_THROW(extractor_->getFeature("no-such-feature"), AutomationError);

  // Handlers set on the filter are kept (content) or dropped (error); properties are inert.
  auto other = std::make_shared<CXMLExtractor>();
  extractor_->contentHandler(other);
  EXPECT_EQ(extractor_->contentHandler(), other);
  extractor_->errorHandler(other);
  EXPECT_EQ(extractor_->errorHandler(), nullptr);
  extractor_->putProperty("anything", Variant(1));
  EXPECT_TRUE(extractor_->getProperty("anything").IsEmpty());
  // The reader still reports to the extractor, not to the handler set on the filter.
  EXPECT_EQ(reader_->contentHandler().get(),
            static_cast<xmldom::ContentHandler*>(extractor_.get()));

  auto orphan = std::make_shared<CXMLExtractor>();
  EXPECT_AUTOMATION_ERROR(orphan->parse("<a/>"), errObjectNotSet, "", "");
  EXPECT_AUTOMATION_ERROR(orphan->parseURL(file_), errObjectNotSet, "", "");
  EXPECT_AUTOMATION_ERROR(orphan->getFeature("x"), errObjectNotSet, "", "");
  EXPECT_AUTOMATION_ERROR(orphan->baseURL(), errObjectNotSet, "", "");
  EXPECT_EQ(orphan->parent(), nullptr);
}

}  // namespace
}  // namespace orvex::testing
