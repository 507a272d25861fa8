// The file layer through the library's own users: modes of new files while other threads
// create theirs, symbolic links followed and kept, paths that name no regular file refused at
// once, a file-size limit reported as a full disk.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "orvex/automation_error.hpp"
#include "orvex/log_error.hpp"
#include "orvex/modules.hpp"
#include "platform/files/atomic_file.hpp"
#include "platform/files/whole_file.hpp"
#include "platform/xmldom/dom.hpp"
#include "support/automation_matchers.hpp"
#include "support/recording_host.hpp"
#include "support/temp_dir.hpp"

namespace orvex {
namespace {

using testing::ReadFile;

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

// The library's users, on files in a folder of their own.
class FileLayer : public ::testing::Test {
 protected:
  FileLayer() { MMain::Main(); }
  testing::HostGuard host;
  testing::TempDir dir;
};

TEST_F(FileLayer, NewFilesTakeTheUmaskWhileOtherThreadsCreateTheirs) {
  const mode_t previous = ::umask(022);
  for (mode_t mask : {mode_t{022}, mode_t{077}}) {
    ::umask(mask);
    std::atomic<bool> saving{true};
    std::atomic<int> wrongModes{0};
    // Another thread of the client creates files the plain way all along: none may come out
    // with a mode the umask does not allow.
    std::thread other([&] {
      for (int i = 0; saving.load(); ++i) {
        const std::string path = dir.File("plain-" + std::to_string(i % 50));
        ::unlink(path.c_str());
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) continue;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && (info.st_mode & 0777) != (0666 & ~mask)) ++wrongModes;
        ::close(fd);
      }
    });
    for (int i = 0; i < 60; ++i) {
      // A new file each time: its mode comes from the umask.
      const std::string path = dir.File("saved-" + std::to_string(mask) + "-" + std::to_string(i));
      files::WriteFileAtomically(path, "x", "test");
      EXPECT_EQ(ModeOf(path), 0666 & ~mask);
    }
    saving = false;
    other.join();
    EXPECT_EQ(wrongModes.load(), 0) << "the process umask changed under another thread";
  }
  ::umask(previous);
  // A file that exists keeps its mode when replaced.
  const std::string kept = dir.File("kept");
  files::WriteFileAtomically(kept, "1", "test");
  ASSERT_EQ(::chmod(kept.c_str(), 0640), 0);
  files::WriteFileAtomically(kept, "2", "test");
  EXPECT_EQ(ModeOf(kept), 0640u);
}

// An error logger writes one record to the path, raising the failure its flag reports.
void LogTo(const std::string& path, int32_t destination) {
  CLogError logger;
  destination == ltXML ? logger.pLogXML(path) : logger.pLogFile(path);
  TErrorObject error;
  error.strDescription = "logged";
  if (logger.LogError("M", "P", error, destination) & etwelrLOGTOFILE_FAILED)
    throw AutomationError(error.lNumber, error.strSource, error.strDescription);
  if (destination == ltXML) logger.SaveXMLLog();
}

TEST_F(FileLayer, WritersFollowSymbolicLinksAndRefuseWhatIsNoRegularFile) {
  const struct {
    const char* name;
    std::function<void(const std::string& path)> write;
    std::string expected;  // a text the file holds afterwards
    // The error for a path that is no regular file (pLogFile ignores its failure: the text log
    // then reports that no file is open).
    int32_t refusal;
  } writers[] = {
      {"DOMDocument.save",
       [](const std::string& path) {
         auto doc = xmldom::Document::Create();
         doc->loadXML("<saved/>");
         doc->save(path);
       },
       "<saved/>", 75},
      {"SaveXMLLog", [](const std::string& path) { LogTo(path, ltXML); }, "logged", 75},
      {"LogError text file", [](const std::string& path) { LogTo(path, ltFILE); },
       std::string("{\0l\0o\0g\0g\0e\0d\0}", 15), 91},
  };
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_directory(dir.File("real"));
  for (const auto& writer : writers) {
    SCOPED_TRACE(writer.name);
    const std::string target = dir.File(std::string("real/") + writer.name);
    const std::string link = dir.File(std::string("link-") + writer.name);
    std::filesystem::create_symlink(std::string("real/") + writer.name, link);  // dangling
    writer.write(link);
    writer.write(link);  // the second time over an existing target
    EXPECT_TRUE(std::filesystem::is_symlink(link) && std::filesystem::is_regular_file(target));
    EXPECT_NE(ReadFile(target).find(writer.expected), std::string::npos) << ReadFile(target);
    // Refused at once, never waited on (and never written to a device).
    EXPECT_EQ(testing::CatchAutomationError([&] { writer.write(fifo); }).Number, writer.refusal);
  }
  for (const std::string& path : {fifo, std::string("/dev/zero")}) {
    SCOPED_TRACE(path);
    const AutomationError read =
        testing::CatchAutomationError([&] { files::ReadWholeFile(path, "test"); });
    EXPECT_EQ(read.Number, 75);
    EXPECT_NE(read.Description.find("not a regular file"), std::string::npos) << read.Description;
    EXPECT_FALSE(xmldom::Document::Create()->load(path));
  }
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST_F(FileLayer, AFileSizeLimitIsAFullDiskAndLeavesWholeRecords) {
  const std::string path = dir.File("limited.log");
  pid_t child = fork();
  if (child == 0) {
    // A limit of 1 KiB in the child only: the text log fills it, the record that does not fit
    // is refused whole, and no SIGXFSZ ends the process.
    struct rlimit limit {
      1024, 1024
    };
    ::setrlimit(RLIMIT_FSIZE, &limit);
    CLogError logger;
    logger.pLogFile(path);
    int32_t failures = 0, failureNumber = 0;
    for (int i = 0; i < 40; ++i) {
      TErrorObject error;
      error.strDescription = "record " + std::to_string(i);
      if (logger.LogError("M", "P", error, ltFILE) & etwelrLOGTOFILE_FAILED) {
        ++failures;
        failureNumber = error.lNumber;
      }
    }
    _exit(failures > 0 && failureNumber == 61 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  // Whole records only: the file ends with a record's blank line.
  const std::string bytes = ReadFile(path);
  EXPECT_TRUE(bytes.size() <= 1024 && bytes.size() % 2 == 0 &&
              bytes.ends_with(std::string("\r\0\n\0\r\0\n\0", 8)))
      << bytes.size();
}

}  // namespace
}  // namespace orvex
