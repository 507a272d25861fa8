// Input written to hurt: a second statement in a table or language name, entity bombs and
// external entities in a glossary, a saved-rows file that claims a gigabyte, a megabyte of
// description, and bytes that are not UTF-8 in texts and file names.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "orvex/data.hpp"
#include "orvex/log_error.hpp"
#include "orvex/modules.hpp"
#include "orvex/text_table.hpp"
#include "orvex/text_table2.hpp"
#include "reliability/log_files.hpp"
#include "reliability/saved_rows_bytes.hpp"
#include "support/recording_host.hpp"
#include "support/temp_dir.hpp"

namespace orvex {
namespace {

using orvex::testing::WriteFile;

using reliability::QuerySqliteTexts;
using reliability::ReadXmlLog;

// Runs call and returns whether it raised an AutomationError (anything else fails the test).
template <class Call>
bool Raises(Call call) {
  try {
    call();
  } catch (const AutomationError&) {
    return true;
  }
  return false;
}

// A TCP listener on the loopback that counts the connections made to it.
class LoopbackListener {
 public:
  LoopbackListener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd_, 8) != 0)
      ADD_FAILURE() << "no loopback listener";
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
  }
  ~LoopbackListener() { ::close(fd_); }
  std::string Url(const std::string& file) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + file;
  }
  bool WasContacted() const {
    int client = ::accept(fd_, nullptr, nullptr);
    if (client < 0) return false;
    ::close(client);
    return true;
  }

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
};

class HostileInputTest : public ::testing::Test {
 protected:
  HostileInputTest() { MMain::Main(); }
  testing::HostGuard host;
  testing::TempDir dir;
};

TEST_F(HostileInputTest, StackedStatementsInTableOrLanguageNamesAreRefused) {
  const std::string file = dir.File("texts.db");
  reliability::ExecSqlite(file,
                          "CREATE TABLE Messages (ID INTEGER, English TEXT, Arabic TEXT);"
                          "INSERT INTO Messages VALUES (1, 'File not found', 'x');");
  const std::string connection = "Provider=SQLite;Data Source=" + file;
  struct Attempt {
    std::string table;
    std::string language;
  };
  const Attempt attempts[] = {
      {"Messages; DROP TABLE Messages", "English"},
      {"Messages; DROP TABLE Messages;", "English"},
      {"Messages;DROP TABLE Messages --", "English"},
      {"Messages", "English FROM Messages; DROP TABLE Messages; SELECT 1 as x, English"},
      {"Messages", "English FROM Messages;\nDELETE FROM Messages --"},
  };
  for (const Attempt& attempt : attempts) {
    SCOPED_TRACE(attempt.table + " / " + attempt.language);
    auto table = std::make_shared<CTextTable>();
    table->ConnectingString(connection);
    EXPECT_TRUE(Raises([&] { table->LoadStringsRS(attempt.table, attempt.language); }));
    EXPECT_EQ(QuerySqliteTexts(file, "SELECT English FROM Messages"),
              std::vector<std::string>{"File not found"});
  }
  // An honest load on the same file still works.
  auto table = std::make_shared<CTextTable>();
  table->ConnectingString(connection);
  table->LoadStringsRS("Messages", "English");
  EXPECT_EQ(table->Text(1), "File not found");
}

TEST_F(HostileInputTest, GlossaryEntitiesAreNeverExpandedNorFetched) {
  LoopbackListener listener;
  const std::string laughs =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE Glossaries [\n <!ENTITY lol \"lol\">\n"
      " <!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">\n"
      " <!ENTITY lol2 \"&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;\">\n"
      " <!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">\n"
      " <!ENTITY lol4 \"&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;\">\n"
      " <!ENTITY lol5 \"&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;\">\n"
      " <!ENTITY lol6 \"&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;\">\n"
      " <!ENTITY lol7 \"&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;\">\n"
      " <!ENTITY lol8 \"&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;\">\n"
      " <!ENTITY lol9 \"&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;\">\n"
      "]>\n<Glossaries><Glossary ID=\"1\" English=\"&lol9;\"/>"
      "<Glossary ID=\"2\" English=\"two\"/></Glossaries>\n";
  auto external = [](const std::string& systemId) {
    return "<?xml version=\"1.0\"?>\n<!DOCTYPE Glossaries [\n <!ENTITY ext SYSTEM \"" + systemId +
           "\">\n]>\n<Glossaries><Glossary ID=\"1\" English=\"a\"/>"
           "<Glossary ID=\"2\" English=\"b\">&ext;</Glossary>"
           "<Glossary ID=\"3\" English=\"&ext;\"/></Glossaries>\n";
  };
  const std::string externalDtd = "<?xml version=\"1.0\"?>\n<!DOCTYPE Glossaries SYSTEM \"" +
                                  listener.Url("glossary.dtd") +
                                  "\">\n<Glossaries><Glossary ID=\"1\" English=\"a\"/>"
                                  "</Glossaries>\n";
  const std::pair<std::string, std::string> documents[] = {
      {"laughs.xml", laughs},
      {"passwd.xml", external("file:///etc/passwd")},
      {"http.xml", external(listener.Url("entity.txt"))},
      {"dtd.xml", externalDtd},
  };
  for (const auto& [name, content] : documents) {
    SCOPED_TRACE(name);
    WriteFile(dir.File(name), content);
    auto table = std::make_shared<CTextTable2>();
    table->ConnectingString(dir.File(name));
    const auto start = std::chrono::steady_clock::now();
    bool raised = Raises([&] { table->LoadStringsRS("", "English"); });
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    // Whatever was read before a refusal holds no expansion and nothing of the outside files.
    for (int32_t id = 1; id <= 3; ++id) {
      const std::string text = table->Text(id);
      EXPECT_EQ(text.find("lollol"), std::string::npos) << id;
      EXPECT_EQ(text.find("root:"), std::string::npos) << id;
      EXPECT_LT(text.size(), 16u) << id;
    }
    // An expansion bomb and an external entity are refused; an external DTD is not read, and
    // the document itself is.
    if (name == "dtd.xml") {
      EXPECT_FALSE(raised);
      EXPECT_EQ(table->Text(1), "a");
    } else {
      EXPECT_TRUE(raised) << "a document with entities was accepted";
    }
  }
  // A glossary named by an http URL is not fetched either.
  auto table = std::make_shared<CTextTable2>();
  table->ConnectingString(listener.Url("glossary.xml"));
  EXPECT_TRUE(Raises([&] { table->LoadStringsRS("", "English"); }));
  EXPECT_FALSE(listener.WasContacted()) << "the reader went to the network";
}

TEST_F(HostileInputTest, SavedRowsClaimingAGigabyteAreRefusedWithoutAllocatingIt) {
  using reliability::SavedRowsBytes;
  constexpr uint32_t kGigabyte = 1u << 30;
  struct Forgery {
    const char* what;
    std::string bytes;
  };
  const Forgery forgeries[] = {
      {"column count", SavedRowsBytes::Header(kGigabyte).Finish()},
      {"column name length", SavedRowsBytes::Header(1).String(kGigabyte, "ID").Finish()},
      {"row count",
       SavedRowsBytes::Header(1).Column("ID", 3).Rows(uint64_t{kGigabyte} * 4).Finish()},
      {"text length", SavedRowsBytes::Header(1)
                          .Column("English", 203)
                          .Rows(1)
                          .Tag(8)
                          .String(kGigabyte, "x")
                          .Finish()},
      {"byte array length", SavedRowsBytes::Header(1)
                                .Column("Blob", 205)
                                .Rows(1)
                                .Tag(0x51)
                                .String(kGigabyte, "x")
                                .Finish()},
  };
  rusage before{};
  ::getrusage(RUSAGE_SELF, &before);
  for (const Forgery& forgery : forgeries) {
    SCOPED_TRACE(forgery.what);
    const std::string path = dir.File("forged.rows");
    WriteFile(path, forgery.bytes);
    data::Recordset rows;
    try {
      rows.Open(Variant(path));
      ADD_FAILURE() << "a forged file was read";
    } catch (const AutomationError& error) {
      EXPECT_NE(error.Description.find("damaged"), std::string::npos) << error.Description;
    }
  }
  // The same builder makes a file that does load, so the refusals above are the claims'.
  const std::string honest = dir.File("honest.rows");
  WriteFile(honest, SavedRowsBytes::Header(1).Column("ID", 3).Rows(1).Tag(3).Int32(7).Finish());
  data::Recordset rows;
  rows.Open(Variant(honest));
  EXPECT_EQ(CLng(rows.Fields()->Item(0)->Value()), 7);
  rusage after{};
  ::getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kilobytes of peak growth";
}

TEST_F(HostileInputTest, AMegabyteDescriptionReachesEveryDestination) {
  host->isNT = true;
  const std::string database = dir.File("errors.db");
  reliability::ExecSqlite(database,
                          "CREATE TABLE ErrorLog (lErrorNumber INTEGER, strDescription "
                          "VARCHAR(255), strSource VARCHAR(255), dDate DATETIME)");
  CLogError logger;
  logger.pLogFile(dir.File("errors.log"));
  logger.pConnect("Provider=SQLite;Data Source=" + database, "ErrorLog");
  logger.pLogXML(dir.File("errors.xml"));
  const std::string huge(1 << 20, 'd');
  TErrorObject error;
  error.lNumber = 53;
  error.strDescription = huge;
  error.strSource = std::string(1 << 16, 's');
  const int32_t every = ltRAISEEVENT | ltFILE | ltEVENTLOG | ltMSGBOX | ltDB | ltMSG_ONLY | ltXML;
  int32_t result = logger.LogError(std::string(4096, 'M'), "Proc", error, every, 0, "Title");
  // A destination may refuse an overlong value, but only by its failure flag.
  EXPECT_EQ(result & etwelrLOGTOFILE_FAILED, 0);
  EXPECT_EQ(result & etwelrLOGTOXML_FAILED, 0);
  EXPECT_EQ(host->events.size(), 1u);
  EXPECT_EQ(host->boxes.size(), 2u);
  logger.SaveXMLLog();
  auto records = ReadXmlLog(dir.File("errors.xml"));
  ASSERT_TRUE(records.loaded);
  ASSERT_EQ(records.descriptions.size(), 1u);
  EXPECT_EQ(records.descriptions[0], huge);
  auto lines = reliability::ReadUtf16Log(dir.File("errors.log")).lines;
  ASSERT_GE(lines.size(), 1u);
  EXPECT_NE(lines[0].find("{" + huge + "}"), std::string::npos);
  if ((result & etwelrLOGTODB_FAILED) == 0) {
    auto stored = QuerySqliteTexts(database, "SELECT strDescription FROM ErrorLog");
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].substr(0, 255), huge.substr(0, 255));
  }
}

TEST_F(HostileInputTest, InvalidUtf8InTextsAndFileNamesKeepsTheXmlLogLoadable) {
  const std::string badName = "bad-\xFF\xFE-\xC3.";  // not UTF-8 (Linux names are bytes)
  CLogError logger;
  logger.pLogFile(dir.File(badName + "log"));
  logger.pLogXML(dir.File(badName + "xml"));
  const std::string texts[] = {
      "lone continuation \x80 byte",  "truncated \xE2\x82",          "\xFF\xFE",
      "overlong \xC0\xAF slash",      "surrogate \xED\xA0\x80 half", "control \x01\x1F chars",
      std::string("nul \0 byte", 10), "ok \xD8\xB3\xD9\x84 text"};
  for (const std::string& text : texts) {
    TErrorObject error;
    error.lNumber = 5;
    error.strDescription = text;
    error.strSource = text;
    int32_t result = logger.LogError(text, text, error, ltFILE | ltXML);
    EXPECT_EQ(result & etwelrLOGTOXML_FAILED, 0) << text;
  }
  EXPECT_NO_THROW(logger.SaveXMLLog());
  auto records = ReadXmlLog(dir.File(badName + "xml"));
  ASSERT_TRUE(records.loaded) << "the XML log no longer parses";
  EXPECT_EQ(records.descriptions.size(), std::size(texts));
  EXPECT_EQ(records.descriptions.back(), "ok \xD8\xB3\xD9\x84 text");
  // The next save loads the file again and appends to it.
  TErrorObject error;
  error.lNumber = 5;
  error.strDescription = "after";
  logger.LogError("m", "p", error, ltXML);
  EXPECT_NO_THROW(logger.SaveXMLLog());
  records = ReadXmlLog(dir.File(badName + "xml"));
  ASSERT_TRUE(records.loaded);
  EXPECT_EQ(records.descriptions.size(), std::size(texts) + 1);
  EXPECT_TRUE(std::filesystem::exists(dir.File(badName + "log")));
}

}  // namespace
}  // namespace orvex
