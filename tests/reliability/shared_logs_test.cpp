// Several processes logging to the same files at once -- the error logger's UTF-16 text file,
// its XML log and its SQLite table, and the event logger's ASCII text file -- with and without
// a log rotation going on meanwhile: every record is found exactly once, whole, with its
// separator, and every file has at most one byte-order mark and parses.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "orvex/log_error.hpp"
#include "orvex/log_event.hpp"
#include "orvex/modules.hpp"
#include "reliability/log_files.hpp"
#include "support/temp_dir.hpp"
#include "support/xml_records.hpp"

namespace orvex {
namespace {

using reliability::ReadUtf16Log;
using testing::ReadXmlLog;
using testing::ReadFile;

struct SharedFiles {
  std::string errorText, eventText, xml;
  std::string database;  // a SQLite file with the table ErrorLog; "" for none
};

std::string RecordName(int process, int record) {
  return "p" + std::to_string(process) + "r" + std::to_string(record);
}

// The child: logs records records to every destination, saving the XML log every saveEvery.
[[noreturn]] void LogRecords(int process, int records, int saveEvery, const SharedFiles& files) {
  int status = 0;
  try {
    MMain::Main();
    auto errors = std::make_shared<CLogError>();
    errors->pLogFile(files.errorText);
    errors->pLogXML(files.xml);
    if (!files.database.empty())
      errors->pConnect("Provider=SQLite;Data Source=" + files.database, "ErrorLog", nullptr);
    auto events = std::make_shared<CLogEvent>();
    events->pLogFile(files.eventText);
    const int32_t destinations = ltFILE | ltXML | (files.database.empty() ? 0 : ltDB);
    for (int record = 1; record <= records; ++record) {
      TErrorObject error;
      error.lNumber = 5;
      error.strDescription = RecordName(process, record);
      const int32_t result = errors->LogError("Shared", "Log", error, destinations);
      if (result & (etwelrLOGTOFILE_FAILED | etwelrLOGTOXML_FAILED | etwelrLOGTODB_FAILED))
        status = 2;
      std::string event = RecordName(process, record);
      events->LogEvent(event, ltFILE);
      if (record % saveEvery == 0 || record == records) errors->SaveXMLLog();
    }
  } catch (...) {
    status = 3;
  }
  _exit(status);
}

std::vector<pid_t> StartLoggers(int processes, int records, int saveEvery,
                                const SharedFiles& files) {
  std::vector<pid_t> children;
  for (int process = 0; process < processes; ++process) {
    pid_t child = fork();
    if (child == 0) LogRecords(process, records, saveEvery, files);
    children.push_back(child);
  }
  return children;
}

void ExpectAllExitedCleanly(const std::vector<pid_t>& children) {
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  }
}

// Counts how often each record name occurs in the text, as "{name}" (error lines) or as a
// line of its own (events).
void CountRecords(const std::vector<std::string>& lines, std::map<std::string, int>& counts,
                  bool errorLines) {
  for (size_t i = 0; i + 1 < lines.size(); i += 2) {
    EXPECT_EQ(lines[i + 1], "") << "record without its blank line after: " << lines[i];
    const std::string& line = lines[i];
    if (errorLines) {
      const size_t open = line.find(" {"), close = line.rfind('}');
      ASSERT_TRUE(open != std::string::npos && close == line.size() - 1) << "torn: " << line;
      ++counts[line.substr(open + 2, close - open - 2)];
    } else {
      ++counts[line];
    }
  }
  EXPECT_EQ(lines.size() % 2, 1u);
  EXPECT_EQ(lines.back(), "") << "the file ends inside a record";
}

std::vector<std::string> AsciiLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t at = 0;
  for (size_t end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(bytes.substr(at, end - at));
  lines.push_back(bytes.substr(at));
  return lines;
}

// Every file a path was rotated to, and the path itself.
std::vector<std::string> Generations(const std::string& path, int rotations) {
  std::vector<std::string> files;
  for (int i = 1; i <= rotations; ++i) files.push_back(path + "." + std::to_string(i));
  files.push_back(path);
  return files;
}

// What every destination holds across its generations, as counts per record name.
struct Counts {
  std::map<std::string, int> errorText, eventText, xml;
};

Counts CountAll(const SharedFiles& files, int rotations) {
  Counts counts;
  for (const std::string& path : Generations(files.errorText, rotations)) {
    if (!std::filesystem::exists(path) || std::filesystem::file_size(path) == 0) continue;
    auto log = ReadUtf16Log(path);
    EXPECT_TRUE(log.hasByteOrderMark) << path;
    EXPECT_FALSE(log.oddByte) << path;
    for (const std::string& line : log.lines)
      EXPECT_EQ(line.find("\xEF\xBB\xBF"), std::string::npos) << "a second byte-order mark";
    CountRecords(log.lines, counts.errorText, true);
  }
  for (const std::string& path : Generations(files.eventText, rotations)) {
    if (!std::filesystem::exists(path) || std::filesystem::file_size(path) == 0) continue;
    CountRecords(AsciiLines(ReadFile(path)), counts.eventText, false);
  }
  for (const std::string& path : Generations(files.xml, rotations)) {
    if (!std::filesystem::exists(path) || std::filesystem::file_size(path) == 0) continue;
    auto records = ReadXmlLog(path);
    EXPECT_TRUE(records.loaded) << path << ":\n" << ReadFile(path);
    for (const std::string& name : records.Descriptions()) ++counts.xml[name];
  }
  return counts;
}

void ExpectEachOnce(const std::map<std::string, int>& counts, int processes, int records,
                    const char* destination) {
  SCOPED_TRACE(destination);
  EXPECT_EQ(counts.size(), static_cast<size_t>(processes * records));
  for (int process = 0; process < processes; ++process)
    for (int record = 1; record <= records; ++record) {
      auto found = counts.find(RecordName(process, record));
      if (found == counts.end() || found->second != 1) {
        ADD_FAILURE() << RecordName(process, record) << " found "
                      << (found == counts.end() ? 0 : found->second) << " times";
        return;
      }
    }
}

TEST(SharedLogs, FourProcessesLoseDuplicateAndTearNoRecord) {
  constexpr int kProcesses = 4, kRecords = 500;
  testing::TempDir dir;
  const SharedFiles files{dir.File("errors.log"), dir.File("events.log"), dir.File("errors.xml"),
                          dir.File("errors.db")};
  // Made directly, not through the library: the parent starts none of the library's threads
  // before it forks (a sanitizer's allocator is not safe across a fork beside a running thread).
  reliability::ExecSqlite(files.database,
                          "CREATE TABLE ErrorLog (lErrorNumber INTEGER, strDescription TEXT, "
                          "strSource TEXT, dDate DATETIME)");
  ExpectAllExitedCleanly(StartLoggers(kProcesses, kRecords, 25, files));

  Counts counts = CountAll(files, 0);
  ExpectEachOnce(counts.errorText, kProcesses, kRecords, "error text log");
  ExpectEachOnce(counts.eventText, kProcesses, kRecords, "event text log");
  ExpectEachOnce(counts.xml, kProcesses, kRecords, "XML log");
  std::map<std::string, int> rows;
  for (const std::string& text :
       reliability::QuerySqliteTexts(files.database, "SELECT strDescription FROM ErrorLog"))
    ++rows[text];
  ExpectEachOnce(rows, kProcesses, kRecords, "database table");
}

// logrotate's two ways: "create" renames the file (the loggers must make a new one at the
// path), "copytruncate" copies it and empties it in place. logrotate itself copies without a
// lock, so records written between its copy and its truncation are lost by design; the rotation
// here takes the loggers' advisory lock around the two steps, as a script can with flock(1).
void Rotate(const std::string& path, const std::string& rotated, bool copyTruncate) {
  if (!copyTruncate) {
    std::filesystem::rename(path, rotated);
    return;
  }
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  ::flock(fd, LOCK_EX);
  std::filesystem::copy_file(path, rotated);
  ASSERT_EQ(::ftruncate(fd, 0), 0);
  ::flock(fd, LOCK_UN);
  ::close(fd);
}

TEST(SharedLogs, RotationWhileThreeProcessesLogLosesNothing) {
  constexpr int kProcesses = 3, kRecords = 300, kRotations = 4;
  for (bool copyTruncate : {false, true}) {
    SCOPED_TRACE(copyTruncate ? "copytruncate" : "create");
    testing::TempDir dir;
    const SharedFiles files{dir.File("errors.log"), dir.File("events.log"), dir.File("errors.xml"),
                            ""};
    std::vector<pid_t> children = StartLoggers(kProcesses, kRecords, 10, files);
    for (int rotation = 1; rotation <= kRotations; ++rotation) {
      std::this_thread::sleep_for(std::chrono::milliseconds(40));
      for (const std::string& path : {files.errorText, files.eventText, files.xml})
        if (std::filesystem::exists(path))
          Rotate(path, path + "." + std::to_string(rotation), copyTruncate);
    }
    ExpectAllExitedCleanly(children);
    Counts counts = CountAll(files, kRotations);
    ExpectEachOnce(counts.errorText, kProcesses, kRecords, "error text log");
    ExpectEachOnce(counts.eventText, kProcesses, kRecords, "event text log");
    ExpectEachOnce(counts.xml, kProcesses, kRecords, "XML log");
  }
}

}  // namespace
}  // namespace orvex
