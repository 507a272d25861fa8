// The files themselves: PO as gettext's tools read and write it, XLIFF as each version's
// structure requires, checked with libxml2.
#include <gtest/gtest.h>

#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>
#include <sys/stat.h>

#include <cstdlib>
#include <tuple>

#include "orvex/modules.hpp"
#include "orvex/text_exchange.hpp"
#include "support/automation_matchers.hpp"
#include "support/recording_host.hpp"
#include "textexchange/exchange_tables.hpp"

namespace orvex::testing {
namespace {

const TextRows kRows = {
    {1, {"Say \"hi\" \\ back", "قل \"مرحبا\" \\"}},
    {2, {"two\nlines\tand a tab", "سطران\n\tوجدول"}},
    {3, {"No translation yet", std::nullopt}},
    {4, {"A bell \a, an escape \x1b and a delete \x7f", "جرس \a!"}},
    {5,
     {"A text long enough that gettext folds it at a space before the edge of the page, "
      "then goes on",
      "نص طويل بما يكفي ليطويه gettext عند مسافة قبل حافة الصفحة، ثم يستمر"}},
};

class ExchangeFilesTest : public ::testing::Test {
 protected:
  HostGuard host_;
  TempDir folder_;
  ExchangeTables tables_{"rows", folder_};
};

TEST_F(ExchangeFilesTest, PoPassesMsgfmtAndReadsAsGettextWritesIt) {
  const TextTableSource table = tables_.Make("po", kRows);
  const std::string po = folder_.File("ar.po");
  ExportTextsToFile(table, {"Arabic", "English", ExchangeFormat::Po}, po);
  const std::string text = ReadFile(po);
  for (const char* entry :
       {"\"Language: ar\\n\"\n", "msgctxt \"2\"\nmsgid \"\"\n\"two\\n\"\n\"lines\\tand a tab\"\n",
        "msgctxt \"3\"\nmsgid \"No translation yet\"\nmsgstr \"\"\n"})
    EXPECT_NE(text.find(entry), std::string::npos) << entry << " in\n" << text;
  ASSERT_EQ(std::system(("msgfmt --check -o /dev/null " + po).c_str()), 0) << text;
  // gettext rewrites the long entry as it is, folded where it folds it.
  const std::string same = folder_.File("ar-same.po");
  ASSERT_EQ(std::system(("msgcat -o " + same + " " + po).c_str()), 0);
  const std::string longEntry = text.substr(text.find("msgctxt \"5\""));
  EXPECT_NE(longEntry.find("edge of the \"\n\"page"), std::string::npos) << longEntry;
  EXPECT_EQ(ReadFile(same).substr(ReadFile(same).find("msgctxt \"5\"")), longEntry);
  // gettext's own rewrite of the file reads back to the same texts.
  const std::string rewritten = folder_.File("ar-msgcat.po");
  ASSERT_EQ(std::system(("msgcat --width=40 -o " + rewritten + " " + po).c_str()), 0);
  const ImportReport report =
      ImportTextsFromFile(table, {"Arabic", ExchangeFormat::Po, false, false}, rewritten);
  EXPECT_EQ(report.Count(ImportOutcome::Unchanged), kRows.size());
}

TEST_F(ExchangeFilesTest, PoEntriesAsTranslatorsToolsLeaveThem) {
  const TextTableSource table = tables_.Make("po", kRows);
  const std::string po =  // one entry a line
      "# translator comment\r\nmsgid \"\"\r\nmsgstr \"Content-Type: text/plain; "
      "charset=UTF-8\\n\"\r\n"
      "\"X-ORVEX-Language: Arabic\\n\"\r\n\r\n"
      "#. extracted\n#, fuzzy\nmsgctxt \"1\"\nmsgid \"Say \\\"hi\\\" \\\\ back\"\nmsgstr \"not "
      "sure\"\n\n"
      "msgctxt \"2\"\nmsgid \"\"\n\"two\\n\"\n\"lines\\011and a tab\"\nmsgstr \"\\x41\\102\"\n\n"
      "#~ msgctxt \"3\"\n#~ msgid \"No translation yet\"\n#~ msgstr \"old\"\n"
      "msgctxt \"4\"\nmsgid \"A\"\nmsgstr \"B\"\nmsgctxt \"4\"\nmsgid \"A\"\nmsgstr \"C\"\n"
      "msgctxt \"04\"\nmsgid \"x\"\nmsgstr \"y\"\nmsgid \"no context\"\nmsgstr \"z\"\n";
  const ImportReport report = ImportTexts(table, {"Arabic", ExchangeFormat::Po, false, true}, po);
  std::vector<std::pair<std::string, ImportOutcome>> outcomes;
  for (const ImportEntry& entry : report.entries) outcomes.emplace_back(entry.id, entry.outcome);
  const std::vector<std::pair<std::string, ImportOutcome>> expected = {
      {"1", ImportOutcome::Unchanged},  {"2", ImportOutcome::Changed},
      {"4", ImportOutcome::Duplicate},  {"4", ImportOutcome::Duplicate},
      {"04", ImportOutcome::UnknownId}, {"", ImportOutcome::UnknownId}};
  EXPECT_EQ(outcomes, expected);
  EXPECT_TRUE(report.applied);
  EXPECT_EQ(tables_.Arabic(table, kRows).at(2), "AB");
}

TEST_F(ExchangeFilesTest, BrokenFilesAreRefusedWithTheLine) {
  const TextTableSource table = tables_.Make("bad", kRows);
  const std::string header = "msgid \"\"\nmsgstr \"\"\n\n";
  const std::string x12 = "<xliff xmlns=\"urn:oasis:names:tc:xliff:document:1.2\" version=\"1.2\"",
                    x20 = "<xliff xmlns=\"urn:oasis:names:tc:xliff:document:2.0\" version=\"2.",
                    po = "Not a valid PO file at line ",
                    x20Bad = "Not a valid XLIFF 2.0 file at line ";
  const ExchangeFormat Po = ExchangeFormat::Po, X12 = ExchangeFormat::Xliff12,
                       X20 = ExchangeFormat::Xliff20;
  const std::tuple<ExchangeFormat, std::string, std::string> cases[] = {
      {Po, header + "msgctxt \"1\"\nmsgid \"a\"\nmsgid_plural \"b\"\n",
       po + "6: plural forms, which a text table does not have"},
      {Po, header + "msgctxt \"1\"\nmsgid \"a\\q\"\nmsgstr \"\"\n",
       po + "5: an unknown escape \\q"},
      {Po, header + "msgctxt \"1\"\nmsgid \"a\nmsgstr \"\"\n",
       po + "5: a string without its closing quote"},
      {Po, header + "msgstr \"x\"\n", po + "4: msgstr without msgid"},
      {Po, "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n",
       po + "1: the charset ISO-8859-1 (only UTF-8 is read)"},
      {Po, header + "msgctxt \"1\"\nmsgid \"\xE9\"\nmsgstr \"\"\n",
       "Not a valid PO file: the file is not UTF-8"},
      {Po, header + "msgctxt \"1\"\nmsgid \"a\"\nmsgstr \"\\351\"\n",
       po + "4: an escape that makes the text not UTF-8"},
      {X12, x20 + "0\"/>",
       "Not a valid XLIFF 1.2 file at line 1: the root element is not <xliff> in the namespace "
       "urn:oasis:names:tc:xliff:document:1.2"},
      {X20, x20 + "1\"/>", x20Bad + "1: the document is not of version 2.0"},
      {X20,
       x20 + "0\">\n<file "
             "id=\"f\">\n<unit><segment><source>a</source></segment></unit></file></xliff>",
       x20Bad + "3: a unit without id"},
      {X12, x12 + "><file>", ""},
      {Po,
       header + "msgctxt \"1\"\nmsgid \"a\"\nmsgstr \"\"\n\nmsgid \"\"\nmsgstr \"X-ORVEX-Language: "
                "French\\n\"\n",
       po + "8: a second header entry"},
      {Po, "msgid \"\"\nmsgstr \"X-ORVEX-Language: French\\n\"\n",
       "Not a valid translation file: it holds French texts, not Arabic texts"},
  };
  const std::string before = ReadFile(table.location);
  // A path that names a pipe is refused at once, never waited on.
  const std::string pipe = folder_.File("pipe.po");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_AUTOMATION_ERROR(
      ImportTextsFromFile(table, {"Arabic", ExchangeFormat::Po, false, false}, pipe), 75,
      "ORVEX.TextExchange",
      pipe +
          " is not a regular file (a folder, pipe, device or socket); only regular files are "
          "read and written");
  for (const auto& c : cases) {
    const ExchangeFormat format = std::get<0>(c);  // (references: the check's lambda takes them)
    const std::string &text = std::get<1>(c), &description = std::get<2>(c);
    SCOPED_TRACE(text);
    EXPECT_AUTOMATION_ERROR(ImportTexts(table, {"Arabic", format, false, true}, text),
                            MErrors::NSError(kErrExchangeFileInvalid), "ORVEX.TextExchange",
                            description);
  }
  // The source column the file names is read wherever it stands among the attributes.
  EXPECT_AUTOMATION_ERROR(
      ImportTexts(table, {"Arabic", X20, false, true},
                  x20 + "0\" xmlns:o=\"urn:orvex:text-table\"><file o:source-column=\"Arabic\" "
                        "id=\"f\"/></xliff>"),
      5, "ORVEX.TextExchange", "The language and the source language are the same column 'Arabic'");
  EXPECT_EQ(ReadFile(table.location), before);
}

// The values an XPath expression finds in the document, as text.
std::vector<std::string> Find(xmlDocPtr doc, const char* nsUri, const std::string& path) {
  xmlXPathContextPtr context = xmlXPathNewContext(doc);
  xmlXPathRegisterNs(context, BAD_CAST "x", BAD_CAST nsUri);
  xmlXPathRegisterNs(context, BAD_CAST "o", BAD_CAST "urn:orvex:text-table");
  xmlXPathObjectPtr found = xmlXPathEvalExpression(BAD_CAST path.c_str(), context);
  std::vector<std::string> values;
  if (found != nullptr && found->nodesetval != nullptr) {
    for (int i = 0; i < found->nodesetval->nodeNr; ++i) {
      xmlChar* value = xmlNodeGetContent(found->nodesetval->nodeTab[i]);
      values.emplace_back(value != nullptr ? reinterpret_cast<const char*>(value) : "");
      xmlFree(value);
    }
  }
  xmlXPathFreeObject(found);
  xmlXPathFreeContext(context);
  return values;
}

TEST_F(ExchangeFilesTest, XliffHasEachVersionsStructure) {
  const TextTableSource table = tables_.Make("x", kRows);
  using Paths = std::vector<std::pair<std::string, std::vector<std::string>>>;
  struct Case {
    ExchangeFormat format;
    const char* ns;
    Paths expected;
  } cases[] = {
      {ExchangeFormat::Xliff12,
       "urn:oasis:names:tc:xliff:document:1.2",
       {{"/x:xliff/@version", {"1.2"}},
        {"/x:xliff/x:file/@source-language", {"en"}},
        {"/x:xliff/x:file/@target-language", {"ar"}},
        {"/x:xliff/x:file/@datatype", {"plaintext"}},
        {"/x:xliff/x:file/@o:target-column", {"Arabic"}},
        {"/x:xliff/x:file/x:body/x:trans-unit/@id", {"1", "2", "3", "4", "5"}},
        {"//x:trans-unit[@id='2']/x:source", {kRows.at(2).english}},
        {"//x:trans-unit[@id='1']/x:target", {*kRows.at(1).arabic}},
        {"//x:trans-unit/x:target/@state",
         {"translated", "translated", "needs-translation", "translated", "translated"}}}},
      {ExchangeFormat::Xliff20,
       "urn:oasis:names:tc:xliff:document:2.0",
       {{"/x:xliff/@version", {"2.0"}},
        {"/x:xliff/@srcLang", {"en"}},
        {"/x:xliff/@trgLang", {"ar"}},
        {"/x:xliff/x:file/@id", {"f1"}},
        {"/x:xliff/x:file/x:unit/@id", {"1", "2", "3", "4", "5"}},
        {"//x:unit[@id='2']/x:segment/x:target", {*kRows.at(2).arabic}},
        {"//x:unit/x:segment/@state",
         {"translated", "translated", "initial", "translated", "translated"}},
        {"//x:unit[@id='3']/x:segment/x:target", {}},
        {"//x:unit[@id='4']/x:segment/x:source/x:cp/@hex", {"0007", "001B"}},
        {"//x:unit[@id='4']/x:segment/x:target/x:cp/@hex", {"0007"}},
        {"//x:unit[@id='4']/x:segment/x:target", {"جرس !"}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ns);
    TextTableSource exported = table;
    if (c.format == ExchangeFormat::Xliff12) {
      // XML 1.0 holds no control character, and XLIFF 1.2 has no element for one.
      EXPECT_AUTOMATION_ERROR(ExportTexts(table, {"Arabic", "English", c.format}),
                              MErrors::NSError(kErrExchangeTextUnfit), "ORVEX.TextExchange",
                              "The text of ID 4 holds a control character, which XLIFF 1.2 "
                              "cannot carry");
      TextRows rows = kRows;
      rows[4] = {"plain", "عادي"};
      exported = tables_.Make("x12", rows);
    }
    const std::string text = ExportTexts(exported, {"Arabic", "English", c.format});
    xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "x.xlf", nullptr,
                                  XML_PARSE_NONET);
    ASSERT_NE(doc, nullptr) << text;
    for (const auto& [path, values] : c.expected) EXPECT_EQ(Find(doc, c.ns, path), values) << path;
    xmlFreeDoc(doc);  // (read back: text_exchange_test)
  }
}

}  // namespace
}  // namespace orvex::testing
