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

using testing::ReadFile;
using testing::ReadXmlLog;

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
      if (errors->LogError("Shared", "Log", error, destinations) &
          (etwelrLOGTOFILE_FAILED | etwelrLOGTOXML_FAILED | etwelrLOGTODB_FAILED))
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

// How often each record name occurs in every generation of each destination (a path and the files
// it was rotated to), each file checked whole.
using Counts = std::map<std::string, int>;

// The error text log's, the event text log's and the XML log's counts.
std::vector<Counts> CountAll(const SharedFiles& files, int rotations) {
  std::vector<Counts> counts(3);
  for (int i = 1; i <= rotations + 1; ++i) {
    const std::string suffix = i > rotations ? "" : "." + std::to_string(i);
    for (const std::string& name : reliability::TextLogRecords(files.errorText + suffix, true))
      ++counts[0][name];
    for (const std::string& name : reliability::TextLogRecords(files.eventText + suffix, false))
      ++counts[1][name];
    if (!ReadFile(files.xml + suffix).empty()) {  // (copytruncate leaves empty files)
      auto records = ReadXmlLog(files.xml + suffix);
      EXPECT_TRUE(records.loaded) << files.xml << suffix << ":\n" << ReadFile(files.xml + suffix);
      for (const std::string& name : records.Descriptions()) ++counts[2][name];
    }
  }
  return counts;
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

TEST(SharedLogs, ProcessesLoggingAtOnceLoseDuplicateAndTearNoRecord) {
  // Four processes, to a SQLite table too; then three while the files are rotated either way.
  for (const std::string rotation : {"none", "create", "copytruncate"}) {
    SCOPED_TRACE(rotation);
    const bool rotating = rotation != "none";
    const int processes = rotating ? 3 : 4, records = rotating ? 300 : 500;
    const int rotations = rotating ? 4 : 0;
    testing::TempDir dir;
    const SharedFiles files{dir.File("errors.log"), dir.File("events.log"), dir.File("errors.xml"),
                            rotating ? "" : dir.File("errors.db")};
    // Made directly, not through the library: the parent starts none of the library's threads
    // before it forks (a sanitizer's allocator is not safe across a fork beside a running thread).
    if (!rotating) reliability::ExecSqlite(files.database, reliability::kErrorLogTable);
    std::vector<pid_t> children;
    for (int process = 0; process < processes; ++process) {
      children.push_back(fork());
      if (children.back() == 0) LogRecords(process, records, rotating ? 10 : 25, files);
    }
    for (int i = 1; i <= rotations; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(40));
      for (const std::string& path : {files.errorText, files.eventText, files.xml})
        if (std::filesystem::exists(path))
          Rotate(path, path + "." + std::to_string(i), rotation == "copytruncate");
    }
    for (pid_t child : children) {
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    }
    std::vector<Counts> destinations = CountAll(files, rotations);
    if (!rotating) {
      destinations.emplace_back();
      for (const std::string& text :
           reliability::QuerySqliteTexts(files.database, "SELECT strDescription FROM ErrorLog"))
        ++destinations.back()[text];
    }
    // Every record of every process is counted once in each destination.
    Counts once;
    for (int process = 0; process < processes; ++process)
      for (int record = 1; record <= records; ++record) once[RecordName(process, record)] = 1;
    for (size_t i = 0; i < destinations.size(); ++i)
      EXPECT_TRUE(destinations[i] == once) << "a record lost or repeated in destination " << i;
  }
}

}  // namespace
}  // namespace orvex
