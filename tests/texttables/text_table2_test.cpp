// CTextTable2 on glossary documents in a temp folder, read by the real SAX reader.
#include "orvex/text_table2.hpp"

#include <gtest/gtest.h>

#include <fstream>

#include "support/automation_matchers.hpp"
#include "support/recording_host.hpp"
#include "support/temp_dir.hpp"

namespace orvex::testing {
namespace {

const char* const kGlossary =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Glossaries>\n"
    "  <Glossary ID=\"7\" English=\"Yes\" Arabic=\"نعم\"/>\n"
    "  <Glossary ID=\"8\" English=\"No\" Arabic=\"لا\"/>\n"
    "  <Glossary ID=\"-2\" English=\"Minus two\" Arabic=\"سالب اثنين\"/>\n"
    "  <Glossary ID=\"09\" English=\"Written 09\" Arabic=\"تسعة\"/>\n"
    "  <glossary ID=\"10\" English=\"lower case\" Arabic=\"x\"/>\n"
    "</Glossaries>\n";

class CTextTable2Test : public ::testing::Test {
 protected:
  std::shared_ptr<CTextTable2> NewTable(const std::string& document) {
    std::ofstream(file_, std::ios::binary | std::ios::trunc) << document;
    auto table = std::make_shared<CTextTable2>();
    table->ConnectingString(file_);
    return table;
  }

  HostGuard host_;
  TempDir folder_;
  std::string file_ = folder_.File("glossary.xml");
};

TEST_F(CTextTable2Test, ServesTheTextsOfTheLoadedLanguage) {
  auto table = NewTable(kGlossary);
  EXPECT_EQ(table->Text(7), "");  // before a load
  table->LoadStringsRS("any table", "", false);
  // 9 is written 09 in the document; 10 is in a lower-case element, which yields nothing.
  for (auto [id, text] : {std::pair{7, "Yes"}, {8, "No"}, {-2, "Minus two"}, {9, ""}, {10, ""}})
    EXPECT_EQ(table->Text(id), text) << id;

  table->LoadStringsRS("", "Arabic");
  EXPECT_EQ(table->Text(7), "نعم");
  table->Show(8, 64, Variant(7));
  EXPECT_EQ(host_->BoxesText(), "لا|" + std::to_string(64 + 0x180000) + "|نعم||0\n");
}

TEST_F(CTextTable2Test, ALanguageIsReadOncePerObject) {
  auto table = NewTable(kGlossary);
  table->LoadStringsRS("");
  // Neither a changed document nor another path is read for a language loaded before.
  std::ofstream(file_, std::ios::trunc) << "<Glossary ID=\"7\" English=\"Changed\" Arabic=\"x\"/>";
  table->ConnectingString(folder_.File("absent.xml"));
  table->LoadStringsRS("", "English");
  EXPECT_EQ(table->Text(7), "Yes");
  EXPECT_THROW(table->LoadStringsRS("", "Arabic"), AutomationError);
  EXPECT_EQ(table->Text(7), "");  // a failed load leaves no glossary

  auto fresh = std::make_shared<CTextTable2>();
  fresh->ConnectingString(file_);
  fresh->LoadStringsRS("");
  EXPECT_EQ(fresh->Text(7), "Changed");
}

// A parse that fails raises and leaves the table unloaded, and what it read serves the next load
// of that language: a duplicate ID, a language the first element lacks, a malformed document
// (shown in a box as well).
TEST_F(CTextTable2Test, AFailedParseKeepsWhatItReadForTheNextLoad) {
  const std::string repeated =
      "<Root><Glossary ID=\"1\" English=\"one\"/><Glossary ID=\"2\" English=\"two\"/>"
      "<Glossary ID=\"1\" English=\"again\"/><Glossary ID=\"3\" English=\"three\"/></Root>";
  const struct {
    std::string document;
    const char* language;
    int32_t number;
    std::string texts;  // of IDs 1, 2 and 3 once loaded again
  } cases[] = {
      {repeated, "English", errKeyExists, "one|two|"},
      {repeated, "French", 0, "||"},
      {"<Root>\n<Glossary ID=\"1\" English=\"one\"/>\n<Glossary ID=\"2\" English=\"A & B\"/>\n"
       "</Root>\n",
       "English", 0, "one||"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.document + c.language);
    auto table = NewTable(c.document);
    EXPECT_RAISED(table->LoadStringsRS("", c.language), c.number,
                  "ORVEX.CTextTable2.LoadStringsRS::");
    EXPECT_EQ(table->Text(1), "");
    table->LoadStringsRS("", c.language);  // from the cache, without parsing again
    EXPECT_EQ(table->Text(1) + "|" + table->Text(2) + "|" + table->Text(3), c.texts);
  }
  EXPECT_EQ(host_->boxes.size(), 1u);
}

}  // namespace
}  // namespace orvex::testing
