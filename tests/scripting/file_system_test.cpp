#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

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
  // A Unicode file of its byte-order mark alone reads as empty.
  orvex::testing::WriteFile(dir.File("mark.log"), "\xFF\xFE");
  EXPECT_EQ(fs.OpenTextFile(dir.File("mark.log"), ForReading, false, TristateTrue)->ReadAll(), "");
}

TEST(TextStream, UnicodeTextIsWrittenUnitForUnitAndMalformedBytesBecomeReplacements) {
  TempDir dir;
  FileSystem fs;
  const std::string path = dir.File("units.log");
  // An "é" and a byte that starts no UTF-8 sequence, amid ASCII, in one outsized text.
  const std::string ascii(200 * 1024, 'y');
  fs.CreateTextFile(path, true, true)->Write("ab\xC3\xA9" + ascii + "\xFF" + "z");
  EXPECT_EQ(ReadFile(path).substr(0, 10), std::string("\xFF\xFE" "a\0b\0\xE9\0y\0", 10));
  EXPECT_EQ(ReadFile(path).size(), 2 + 2 * (5 + ascii.size()));
  EXPECT_EQ(fs.OpenTextFile(path, ForReading, false, TristateUseDefault)->ReadAll(),
            "ab\xC3\xA9" + ascii + "\xEF\xBF\xBD" + "z");
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
