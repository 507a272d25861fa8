#include "platform/xmldom/log_document_scan.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/xmldom/dom.hpp"

namespace orvex::xmldom {
namespace {

// A log as the loggers save it, with the odd things a hand-edited one may hold besides.
const std::string kRichLog =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\" standalone='yes'?>\r\n"
    "<!--notice--><!-- banner \xD8\xB9 -->\n"
    "<errors>\n"
    "  <error dDate=\"2026-12-05T19:29:54\" lErrorNumber='53' "
    "strDescription=\"a &quot;b&quot; &amp; &lt;c&gt; &#65;&#x10348; 'q' ]] \xE2\x82\xAC\"/>\n"
    "  <!-- a comment among the records -->\n"
    "  <event strEvent = \"x\">text &apos;here&apos; ]&gt; <detail "
    "n=\"1\">deeper</detail></event>\n"
    "</errors >\n"
    "<!-- after -->\n";

bool Loads(const std::string& text) {
  auto doc = Document::Create();
  return doc->loadXML(text) && doc->documentElement() != nullptr;
}

TEST(LogDocumentScan, FindsTheEndOfTheRootInTheShapesThatLogsHave) {
  const std::string saved =
      "<?xml version='1.0'?>\n<!--notice-->\n<errors>\n  <error a=\"1\"/>\n</errors>\n";
  auto layout = ScanLogDocument(saved, "errors");
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(layout->insertAt, saved.find("</errors>"));
  EXPECT_EQ(layout->resumeAt, layout->insertAt);
  EXPECT_FALSE(layout->emptyRoot);
  EXPECT_TRUE(layout->atLineStart);

  // A log just cleared: the root is an empty-element tag.
  const std::string cleared = "<?xml version='1.0'?>\n<events />\n";
  layout = ScanLogDocument(cleared, "events");
  ASSERT_TRUE(layout.has_value());
  EXPECT_TRUE(layout->emptyRoot);
  EXPECT_EQ(cleared.substr(layout->insertAt, 2), "/>");
  EXPECT_EQ(layout->resumeAt, layout->insertAt + 2);

  layout = ScanLogDocument("<errors><error/></errors>", "errors");
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(layout->insertAt, 16u);
  EXPECT_FALSE(layout->atLineStart);

  layout = ScanLogDocument(kRichLog, "errors");
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(layout->insertAt, kRichLog.find("</errors >"));
  EXPECT_TRUE(Loads(kRichLog));
}

TEST(LogDocumentScan, RefusesWhatItIsNotCertainAbout) {
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"another root", "<events/>"},
      {"a root of which the name only starts alike", "<errorsX/>"},
      {"empty", ""},
      {"only a declaration", "<?xml version='1.0'?>"},
      {"a document type", "<!DOCTYPE errors><errors/>"},
      {"a processing instruction", "<?app go?><errors/>"},
      {"a processing instruction inside", "<errors><?app go?></errors>"},
      {"a CDATA section", "<errors><![CDATA[x]]></errors>"},
      {"a prefixed name", "<errors><a:error/></errors>"},
      {"a namespace declaration", "<errors xmlns=\"urn:x\"/>"},
      {"a reserved attribute", "<errors xml:space=\"preserve\"/>"},
      {"a non-ASCII name", "<errors><\xC3\xA9rror/></errors>"},
      {"a name XML reserves", "<errors><XmL/></errors>"},
      {"an undefined entity", "<errors a=\"&nbsp;\"/>"},
      {"a reference without its semicolon", "<errors a=\"&amp\"/>"},
      {"a bare ampersand", "<errors>a & b</errors>"},
      {"a reference to NUL", "<errors a=\"&#0;\"/>"},
      {"a reference to a surrogate", "<errors a=\"&#xD800;\"/>"},
      {"a reference beyond Unicode", "<errors a=\"&#x110000;\"/>"},
      {"an uppercase X in a reference", "<errors a=\"&#X41;\"/>"},
      {"a NUL byte", std::string("<errors a=\"x\0\"/>", 16)},
      {"a control character", "<errors>\x01</errors>"},
      {"U+FFFE", "<errors>\xEF\xBF\xBE</errors>"},
      {"an overlong sequence", "<errors>\xC0\xAF</errors>"},
      {"a lone continuation byte", "<errors a=\"\x80\"/>"},
      {"a truncated sequence", "<errors>\xE2\x82</errors>"},
      {"an encoded surrogate", "<errors>\xED\xA0\x80</errors>"},
      {"a duplicate attribute", "<errors><error a=\"1\" a=\"2\"/></errors>"},
      {"attributes without a space", "<errors><error a=\"1\"b=\"2\"/></errors>"},
      {"an unquoted value", "<errors><error a=1/></errors>"},
      {"an attribute without a value", "<errors><error a/></errors>"},
      {"'<' in a value", "<errors><error a=\"<\"/></errors>"},
      {"']]>' in text", "<errors>]]></errors>"},
      {"'--' in a comment", "<!-- a -- b --><errors/>"},
      {"a comment ending in '-'", "<!-- a ---><errors/>"},
      {"an unclosed comment", "<errors><!-- a </errors>"},
      {"a mismatched end tag", "<errors><error></errror></errors>"},
      {"an unclosed root", "<errors><error/>"},
      {"text after the root", "<errors/>x"},
      {"a second root", "<errors/><errors/>"},
      {"text before the root", "x<errors/>"},
      {"a declaration after a space", " <?xml version='1.0'?><errors/>"},
      {"another encoding", "<?xml version='1.0' encoding='ISO-8859-1'?><errors/>"},
      {"version 1.1", "<?xml version='1.1'?><errors/>"},
      {"a declaration without its end", "<?xml version='1.0'<errors/>"},
      {"a UTF-16 byte-order mark", "\xFF\xFE<\0e\0/\0>\0"},
      {"a name too long", "<errors><" + std::string(2000, 'e') + "/></errors>"},
  };
  for (const auto& [what, text] : refused) {
    EXPECT_FALSE(ScanLogDocument(text, "errors").has_value()) << what;
  }
  std::string deep = "<errors>";
  for (int i = 0; i < 100; ++i) deep += "<e>";
  for (int i = 0; i < 100; ++i) deep += "</e>";
  deep += "</errors>";
  EXPECT_FALSE(ScanLogDocument(deep, "errors").has_value()) << "100 levels";
}

// Every single-byte deletion, replacement and insertion of a rich log: whatever the scan
// accepts, the parser must accept too, with the root the scan named.
TEST(LogDocumentScan, NeverAcceptsAMutantThatTheParserRejects) {
  const std::string specials = std::string("<>&\"'-]!?;#x/= \t\r\n", 19) + std::string(1, '\0') +
                               "\x80\xBF\xC3\xD8\xE2\xED\xF4\xFF";
  int accepted = 0;
  int checked = 0;
  auto check = [&](const std::string& mutant) {
    ++checked;
    if (!ScanLogDocument(mutant, "errors")) return;
    ++accepted;
    auto doc = Document::Create();
    ASSERT_TRUE(doc->loadXML(mutant)) << "accepted, but the parser refuses:\n" << mutant;
    ASSERT_EQ(doc->documentElement()->nodeName(), "errors") << mutant;
  };
  for (size_t i = 0; i < kRichLog.size(); ++i) {
    check(kRichLog.substr(0, i) + kRichLog.substr(i + 1));
    for (char c : specials) {
      std::string replaced = kRichLog;
      replaced[i] = c;
      check(replaced);
      check(kRichLog.substr(0, i) + c + kRichLog.substr(i));
    }
  }
  // The scan is not so strict that it refuses everything: most bytes of a log are text.
  EXPECT_GT(accepted, checked / 10);
}

}  // namespace
}  // namespace orvex::xmldom
