#include "platform/xmldom/log_document_scan.hpp"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
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
  const struct {
    std::string text, root;
    size_t insertAt, resumeAt;  // resumeAt 0: as insertAt
    bool emptyRoot, atLineStart;
  } cases[] = {
      {"<?xml version='1.0'?>\n<!--notice-->\n<errors>\n  <error a=\"1\"/>\n</errors>\n", "errors",
       62, 0, false, true},
      // A log just cleared: the root is an empty-element tag.
      {"<?xml version='1.0'?>\n<events />\n", "events", 30, 32, true, false},
      {"<errors><error/></errors>", "errors", 16, 0, false, false},
      {kRichLog, "errors", kRichLog.find("</errors >"), 0, false, true},
  };
  for (const auto& c : cases) {
    auto layout = ScanLogDocument(c.text, c.root);
    ASSERT_TRUE(layout.has_value()) << c.text;
    EXPECT_EQ(
        std::tuple(layout->insertAt, layout->resumeAt, layout->emptyRoot, layout->atLineStart),
        std::tuple(c.insertAt, c.resumeAt ? c.resumeAt : c.insertAt, c.emptyRoot, c.atLineStart))
        << c.text;
  }
  EXPECT_TRUE(Loads(kRichLog));
}

TEST(LogDocumentScan, RefusesWhatItIsNotCertainAbout) {
  std::string deep = "<errors>";
  for (int i = 0; i < 100; ++i) deep += "<e>";
  for (int i = 0; i < 100; ++i) deep += "</e>";
  const std::string refused[] = {
      // Another root, or one whose name only starts alike; nothing, or no root.
      "<events/>", "<errorsX/>", "", "<?xml version='1.0'?>",
      // What a log never holds: a document type, processing instructions, CDATA, namespaces,
      // reserved attributes and names, non-ASCII names.
      "<!DOCTYPE errors><errors/>", "<?app go?><errors/>", "<errors><?app go?></errors>",
      "<errors><![CDATA[x]]></errors>", "<errors><a:error/></errors>", "<errors xmlns=\"urn:x\"/>",
      "<errors xml:space=\"preserve\"/>", "<errors><\xC3\xA9rror/></errors>",
      "<errors><XmL/></errors>",
      // References: undefined, without a semicolon, bare, to NUL, a surrogate, beyond Unicode,
      // with an uppercase X.
      "<errors a=\"&nbsp;\"/>", "<errors a=\"&amp\"/>", "<errors>a & b</errors>",
      "<errors a=\"&#0;\"/>", "<errors a=\"&#xD800;\"/>", "<errors a=\"&#x110000;\"/>",
      "<errors a=\"&#X41;\"/>",
      // Characters: NUL, a control character, U+FFFE, an overlong sequence, a lone continuation
      // byte, a truncated sequence, an encoded surrogate.
      std::string("<errors a=\"x\0\"/>", 16), "<errors>\x01</errors>",
      "<errors>\xEF\xBF\xBE</errors>", "<errors>\xC0\xAF</errors>", "<errors a=\"\x80\"/>",
      "<errors>\xE2\x82</errors>", "<errors>\xED\xA0\x80</errors>",
      // Attributes: duplicate, without a space between, unquoted, without a value, '<' in one.
      "<errors><error a=\"1\" a=\"2\"/></errors>", "<errors><error a=\"1\"b=\"2\"/></errors>",
      "<errors><error a=1/></errors>", "<errors><error a/></errors>",
      "<errors><error a=\"<\"/></errors>",
      // ']]>' in text; comments with '--', ending in '-', unclosed.
      "<errors>]]></errors>", "<!-- a -- b --><errors/>", "<!-- a ---><errors/>",
      "<errors><!-- a </errors>",
      // Structure: a mismatched end tag, an unclosed root, text after or before the root, a
      // second root.
      "<errors><error></errror></errors>", "<errors><error/>", "<errors/>x", "<errors/><errors/>",
      "x<errors/>",
      // Declarations: after a space, of another encoding or version, without an end; UTF-16.
      " <?xml version='1.0'?><errors/>", "<?xml version='1.0' encoding='ISO-8859-1'?><errors/>",
      "<?xml version='1.1'?><errors/>", "<?xml version='1.0'<errors/>",
      std::string("\xFF\xFE<\0e\0/\0>\0", 10),
      // Too long a name, too deep a nesting.
      "<errors><" + std::string(2000, 'e') + "/></errors>", deep + "</errors>"};
  for (const std::string& text : refused)
    EXPECT_FALSE(ScanLogDocument(text, "errors").has_value()) << text;
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
