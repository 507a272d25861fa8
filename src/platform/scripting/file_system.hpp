// The scripting runtime's file-system service and text stream, on POSIX files.
//
// Every WriteLine hands its whole line (text and CR LF) to the OS with one write(2) before it
// returns: no user-space buffer holds a logged record. A stream opened for appending appends
// each call as a whole record (see files::AppendFile): under the file's lock, cut back when its
// write fails, and to the file the path names at that moment, so that the stream follows a
// log rotation and shares the file with other processes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files/append_file.hpp"

namespace orvex::scripting {

enum IOMode : int32_t {
  ForReading = 1,
  ForWriting = 2,
  ForAppending = 8,
};

enum Tristate : int32_t {
  TristateFalse = 0,        // ASCII: the locale's narrow charset, UTF-8 bytes as given
  TristateTrue = -1,        // Unicode: UTF-16LE, byte-order mark when the file starts empty
  TristateUseDefault = -2,  // the system default, which is ASCII
};

inline constexpr const char* kScriptingSource = "Scripting.FileSystemObject";

class TextStream {
 public:
  TextStream(int fd, int32_t ioMode, bool unicode, std::string path);
  // A stream that appends through appender.
  TextStream(std::unique_ptr<files::AppendFile> appender, bool unicode, std::string path);
  ~TextStream();
  TextStream(const TextStream&) = delete;
  TextStream& operator=(const TextStream&) = delete;

  // text then CR LF, in one write.
  void WriteLine(const std::string& text = "");
  void Write(const std::string& text);
  void WriteBlankLines(int32_t lines);
  // The whole rest of a stream opened for reading, as UTF-8 (a Unicode file's BOM dropped).
  std::string ReadAll();
  // Closes the file; later calls raise error 52. Closing twice is harmless.
  void Close();
  bool IsUnicode() const { return unicode_; }

 private:
  void RequireWritable() const;
  void RequireOpen() const;
  // The bytes to write for the text: the text itself, or its UTF-16 in encoded_.
  std::string_view Encode(std::string_view text);
  void WriteBytes(std::string_view bytes);

  int fd_;
  std::unique_ptr<files::AppendFile> appender_;
  int32_t ioMode_;
  bool unicode_;
  std::string path_;
  std::string encoded_;  // reused from write to write
};

class FileSystem {
 public:
  // True for an existing regular file (a folder is not a file).
  bool FileExists(const std::string& path) const;
  // Creates the file (truncating it when overwrite is true) and opens it for writing. Error 58
  // when it exists and overwrite is false.
  std::shared_ptr<TextStream> CreateTextFile(const std::string& path, bool overwrite = true,
                                             bool unicode = false) const;
  // ioMode: ForReading, ForWriting (truncates) or ForAppending; create: make a missing file
  // (else error 53); format: a Tristate. Error 5 for another mode or format.
  std::shared_ptr<TextStream> OpenTextFile(const std::string& path, int32_t ioMode = ForReading,
                                           bool create = false,
                                           int32_t format = TristateFalse) const;
  // Deletes a file; a read-only one only when force is true (else error 70). Error 53 when
  // there is no such file.
  void DeleteFile(const std::string& path, bool force = false) const;
};

}  // namespace orvex::scripting
