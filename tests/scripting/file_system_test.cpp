#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <fstream>
#include <sstream>

#include "platform/files/file_write.hpp"
#include "platform/scripting/file_system.hpp"
#include "support/automation_matchers.hpp"
#include "support/temp_dir.hpp"

namespace orvex::scripting {
namespace {

using orvex::testing::ReadFile;

using orvex::testing::TempDir;

TEST(TextStream, UnicodeAppendWritesTheByteOrderMarkOnceAndCrLfLines) {
  TempDir dir;
  std::string path = dir.File("errors.log");
  FileSystem fs;
  for (const char* line : {"A\xD8\xB9", "B"}) {
    auto stream = fs.OpenTextFile(path, ForAppending, true, TristateTrue);
    stream->WriteLine(line);
    stream->WriteLine("");
    stream->Close();
  }
  std::string expected(
      "\xFF\xFE"
      "A\0\x39\x06\r\0\n\0\r\0\n\0"
      "B\0\r\0\n\0\r\0\n\0",
      24);
  EXPECT_EQ(ReadFile(path), expected);
  EXPECT_EQ(fs.OpenTextFile(path, ForReading, false, TristateUseDefault)->ReadAll(),
            "A\xD8\xB9\r\n\r\nB\r\n\r\n");

  // A character outside the basic plane takes a surrogate pair.
  auto stream = fs.CreateTextFile(dir.File("wide.log"), true, true);
  stream->Write("\xF0\x9F\x98\x80");
  stream->Close();
  EXPECT_EQ(ReadFile(dir.File("wide.log")), std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6));
}

TEST(TextStream, UnicodeTextWithOtherCharactersAnywhereInAsciiRunsIsWrittenUnitForUnit) {
  // Long ASCII runs are converted many bytes at a time: put an "é" (and a malformed byte) at
  // every place within and across such a run, and check every unit.
  TempDir dir;
  FileSystem fs;
  // Lengths around one and two blocks, so that the other character also falls among the last
  // few bytes, which are widened together with the ones before them.
  for (size_t length : {19, 37})
    for (size_t at = 0; at <= length; ++at) {
      std::string text(length, 'x');
      for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
      std::string utf8 = text.substr(0, at) + "\xC3\xA9" + text.substr(at);
      std::string expected("\xFF\xFE", 2);
      for (size_t i = 0; i < text.size(); ++i) {
        if (i == at) expected.append("\xE9\0", 2);
        expected.append({text[i], '\0'});
      }
      if (at == text.size()) expected.append("\xE9\0", 2);
      std::string path =
          dir.File("run" + std::to_string(length) + "-" + std::to_string(at) + ".log");
      fs.CreateTextFile(path, true, true)->Write(utf8);
      EXPECT_EQ(ReadFile(path), expected) << "length " << length << " at " << at;
      EXPECT_EQ(fs.OpenTextFile(path, ForReading, false, TristateUseDefault)->ReadAll(), utf8);

      // A byte that starts no UTF-8 sequence becomes U+FFFD, the ASCII around it unchanged.
      std::string broken = text.substr(0, at) + "\xFF" + text.substr(at);
      fs.CreateTextFile(path, true, true)->Write(broken);
      EXPECT_EQ(fs.OpenTextFile(path, ForReading, false, TristateUseDefault)->ReadAll(),
                text.substr(0, at) + "\xEF\xBF\xBD" + text.substr(at))
          << "length " << length << " at " << at;
    }

  // One stream, an outsized text between ordinary ones: each written whole.
  std::string path = dir.File("sizes.log");
  auto stream = fs.CreateTextFile(path, true, true);
  std::string outsized(200 * 1024, 'y');
  outsized[1234] = '\xC3';  // with one "é" inside
  outsized.insert(1235, "\xA9");
  for (const std::string& piece : {std::string("first \xC3\xA9"), outsized, std::string("last")})
    stream->Write(piece);
  stream->Close();
  EXPECT_EQ(fs.OpenTextFile(path, ForReading, false, TristateUseDefault)->ReadAll(),
            "first \xC3\xA9" + outsized + "last");
}

TEST(TextStream, AsciiAppendKeepsUtf8BytesAndEachLineIsVisibleAtOnce) {
  TempDir dir;
  std::string path = dir.File("events.log");
  FileSystem fs;
  auto stream = fs.OpenTextFile(path, ForAppending, true, TristateFalse);
  stream->WriteLine("first \xC3\xA9");
  // Another reader sees the line while the stream is still open.
  EXPECT_EQ(ReadFile(path), "first \xC3\xA9\r\n");
  stream->WriteLine("second");
  EXPECT_EQ(ReadFile(path), "first \xC3\xA9\r\nsecond\r\n");
  stream->Close();
  EXPECT_AUTOMATION_ERROR(stream->WriteLine("late"), 52, kScriptingSource, "");

  // Appending never truncates; writing does.
  fs.OpenTextFile(path, ForAppending)->WriteLine("third");
  EXPECT_EQ(ReadFile(path), "first \xC3\xA9\r\nsecond\r\nthird\r\n");
  fs.OpenTextFile(path, ForWriting)->Write("new");
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_AUTOMATION_ERROR(fs.OpenTextFile(path, ForReading)->WriteLine("x"), 54, "", "");
}

TEST(TextStream, InjectedWriteFailureRaisesTheRuntimeNumberAndKeepsEarlierLines) {
  TempDir dir;
  std::string path = dir.File("events.log");
  auto stream = FileSystem().OpenTextFile(path, ForAppending, true, TristateFalse);
  stream->WriteLine("kept");
  files::InstallWriteFault({2, ENOSPC});
  stream->WriteLine("also kept");
  EXPECT_AUTOMATION_ERROR(stream->WriteLine("lost"), 61, kScriptingSource, "");
  stream->WriteLine("after");
  files::InstallWriteFault({1, EIO});
  EXPECT_AUTOMATION_ERROR(stream->WriteLine("lost"), 57, kScriptingSource, "");
  files::InstallWriteFault({});
  EXPECT_EQ(ReadFile(path), "kept\r\nalso kept\r\nafter\r\n");
}

TEST(FileSystem, OpensCreatesAndDeletesWithTheRuntimeErrorNumbers) {
  TempDir dir;
  FileSystem fs;
  std::string path = dir.File("log.txt");
  EXPECT_FALSE(fs.FileExists(path));
  EXPECT_FALSE(fs.FileExists(dir.path().string()));
  EXPECT_AUTOMATION_ERROR(fs.OpenTextFile(path, ForAppending, false), 53, kScriptingSource, "");
  EXPECT_AUTOMATION_ERROR(fs.OpenTextFile(dir.File("no/log.txt"), ForAppending, true), 76, "", "");
  EXPECT_AUTOMATION_ERROR(fs.OpenTextFile(path, 3, true), 5, "", "");
  EXPECT_AUTOMATION_ERROR(fs.OpenTextFile(path, ForAppending, true, 1), 5, "", "");

  fs.CreateTextFile(path, false)->Close();
  EXPECT_TRUE(fs.FileExists(path));
  EXPECT_EQ(ReadFile(path), "");
  EXPECT_AUTOMATION_ERROR(fs.CreateTextFile(path, false), 58, kScriptingSource, "");

  chmod(path.c_str(), 0444);
  EXPECT_AUTOMATION_ERROR(fs.DeleteFile(path), 70, kScriptingSource, "");
  EXPECT_TRUE(fs.FileExists(path));
  fs.DeleteFile(path, true);
  EXPECT_FALSE(fs.FileExists(path));
  EXPECT_AUTOMATION_ERROR(fs.DeleteFile(path, true), 53, kScriptingSource, "");
  EXPECT_AUTOMATION_ERROR(fs.DeleteFile(dir.File("no/log.txt"), true), 76, kScriptingSource, "");
}

}  // namespace
}  // namespace orvex::scripting
