// A disk that fills up at each write of every operation that writes a file -- the XML log's
// save and clear, the text logs, a saved-rows file and a document -- with and without part of
// the failing write reaching the file: the file stays as it was (whole records or none), the
// failure is reported as each operation promises, and once the disk has room again the same
// operation writes everything it holds.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "orvex/log_error.hpp"
#include "orvex/log_event.hpp"
#include "orvex/modules.hpp"
#include "orvex/text_table3.hpp"
#include "platform/files/file_write.hpp"
#include "platform/xmldom/dom.hpp"
#include "reliability/log_files.hpp"
#include "support/recording_host.hpp"
#include "support/sql_rows.hpp"
#include "support/temp_dir.hpp"
#include "support/xml_records.hpp"

namespace orvex {
namespace {

using testing::ReadFile;
using testing::ReadXmlLog;

// No operation here makes more writes than this.
constexpr int32_t kMaxWritePoints = 8;

TErrorObject Record(const std::string& description) {
  TErrorObject error;
  error.lNumber = 5;
  error.strDescription = description;
  return error;
}

// One operation under test: prepare makes the file at path hold what it holds before the
// operation and returns the operation, which returns true when it reported a failure (raised,
// or set its failure flag). After the failed run and a second, successful one, check looks at
// what the file holds.
struct Operation {
  std::string name;
  bool reportsFailure;
  std::function<std::function<bool()>(const std::string& path)> prepare;
  std::function<void(const std::string& path)> check;
};

bool RaisesDiskFull(const std::function<void()>& step) {
  try {
    step();
    return false;
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.Number, 61) << error.Description;
    return true;
  }
}

// An error logger writing to the path, having logged the descriptions to the destination.
std::shared_ptr<CLogError> Logger(const std::string& path, int32_t destination,
                                  std::vector<std::string> descriptions) {
  auto logger = std::make_shared<CLogError>();
  destination == ltXML ? logger->pLogXML(path) : logger->pLogFile(path);
  for (const std::string& description : descriptions) {
    TErrorObject record = Record(description);
    logger->LogError("Disk", "Full", record, destination);
  }
  return logger;
}

std::vector<Operation> Operations(const testing::TempDir& dir) {
  auto xmlSave = [](bool existing) {
    return [existing](const std::string& path) -> std::function<bool()> {
      if (existing) Logger(path, ltXML, {"old"})->SaveXMLLog();
      auto logger = Logger(path, ltXML, {"a", "b"});
      return [logger] { return RaisesDiskFull([&] { logger->SaveXMLLog(); }); };
    };
  };
  auto xmlRecords = [](std::vector<std::string> expected) {
    return [expected](const std::string& path) {
      auto records = ReadXmlLog(path);
      EXPECT_TRUE(records.loaded);
      EXPECT_EQ(records.Descriptions(), expected);
    };
  };
  return {
      {"SaveXMLLog, new file", true, xmlSave(false), xmlRecords({"a", "b"})},
      {"SaveXMLLog, existing file", true, xmlSave(true), xmlRecords({"old", "a", "b"})},
      {"ClearXMLLog", false,
       [](const std::string& path) -> std::function<bool()> {
         auto logger = Logger(path, ltXML, {"kept"});
         logger->SaveXMLLog();
         return [logger] {
           logger->ClearXMLLog();  // ignores its failures
           return false;
         };
       },
       xmlRecords({})},
      {"CLogError text log", true,
       [](const std::string& path) -> std::function<bool()> {
         auto logger = Logger(path, ltFILE, {"first"});
         return [logger] {
           TErrorObject record = Record("second");
           const bool failed =
               logger->LogError("Disk", "Full", record, ltFILE) & etwelrLOGTOFILE_FAILED;
           EXPECT_EQ(record.lNumber, failed ? 61 : 5);
           return failed;
         };
       },
       [](const std::string& path) {
         EXPECT_EQ(reliability::TextLogRecords(path, true),
                   (std::vector<std::string>{"first", "second"}));
       }},
      {"CLogEvent text log", false,
       [](const std::string& path) -> std::function<bool()> {
         auto logger = std::make_shared<CLogEvent>();
         logger->pLogFile(path);
         std::string first = "first";
         logger->LogEvent(first, ltFILE);
         return [logger] {
           std::string event = "second";
           logger->LogEvent(event, ltFILE);  // the file is a best-effort copy
           return false;
         };
       },
       [](const std::string& path) { EXPECT_EQ(ReadFile(path), "first\r\n\r\nsecond\r\n\r\n"); }},
      {"CTextTable3.Save", true,
       [&dir](const std::string& path) -> std::function<bool()> {
         const std::string database = "Provider=SQLite;Data Source=" + dir.File("strings.db");
         if (!std::filesystem::exists(dir.File("strings.db"))) {
           testing::ExecuteSql(database, "CREATE TABLE Strings (ID INTEGER, English VARCHAR(255))");
           testing::ExecuteSql(database, "INSERT INTO Strings VALUES (1, 'one'), (2, 'two')");
         }
         data::Recordset rows;
         rows.Open(Variant("SELECT ID, English FROM Strings ORDER BY ID"), Variant(database));
         rows.Save(path);
         auto table = std::make_shared<CTextTable3>();
         table->ConnectingString(path);
         table->LoadStringsRS("", "English", false);
         table->Text(1, "edited");
         return [table] {
           try {
             table->Save();
             return false;
           } catch (const AutomationError& error) {
             EXPECT_NE(error.Source.find("Save"), std::string::npos) << error.Source;
             return true;
           }
         };
       },
       [](const std::string& path) {
         auto reread = std::make_shared<CTextTable3>();
         reread->ConnectingString(path);
         reread->LoadStringsRS("", "English");
         EXPECT_EQ(reread->Text(1) + "|" + reread->Text(2), "edited|two");
       }},
      {"DOMDocument.save", true,
       [](const std::string& path) -> std::function<bool()> {
         auto doc = xmldom::Document::Create();
         doc->loadXML("<log><old/></log>");
         doc->save(path);
         doc->documentElement()->appendChild(doc->createElement("new"));
         return [doc, path] { return RaisesDiskFull([&] { doc->save(path); }); };
       },
       [](const std::string& path) {
         EXPECT_NE(ReadFile(path).find("<new/>"), std::string::npos);
       }},
  };
}

TEST(WriteFault, EveryWritePointOfEveryOperationLeavesTheFileAsItWas) {
  MMain::Main();
  testing::HostGuard host;
  testing::TempDir dir;
  const std::vector<Operation> operations = Operations(dir);
  for (size_t index = 0; index < operations.size(); ++index) {
    const Operation& operation = operations[index];
    // 0: the write fails before writing; 3: three bytes reach the file first (an odd cut of a
    // UTF-16 record).
    for (size_t keptBytes : {size_t{0}, size_t{3}}) {
      // What the file holds, or that there is none.
      auto state = [](const std::string& path) {
        return std::filesystem::exists(path) ? "file " + ReadFile(path) : std::string("none");
      };
      int32_t nth = 1;
      for (; nth <= kMaxWritePoints; ++nth) {
        SCOPED_TRACE(operation.name + ", write " + std::to_string(nth) + ", " +
                     std::to_string(keptBytes) + " bytes kept");
        const std::string path = dir.File(std::to_string(keptBytes) + "-" + std::to_string(nth) +
                                          "-" + std::to_string(index) + ".dat");
        std::function<bool()> run = operation.prepare(path);
        const std::string before = state(path);
        files::InstallWriteFault({nth, ENOSPC, keptBytes});
        const bool reported = run(), reached = !files::WriteFaultPending();
        files::InstallWriteFault({});
        if (!reached) {
          EXPECT_FALSE(reported);
          break;
        }
        EXPECT_TRUE(reported || !operation.reportsFailure) << "failed silently";
        EXPECT_EQ(state(path), before) << "the failed write changed the file";
        EXPECT_FALSE(run()) << "the disk has room again";
        operation.check(path);
      }
      EXPECT_GT(nth, 1) << operation.name << " reached no write point";
    }
  }
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos)
        << "temporary file left: " << entry.path();
}

}  // namespace
}  // namespace orvex
