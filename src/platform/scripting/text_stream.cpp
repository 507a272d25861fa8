#include "platform/scripting/file_system.hpp"

#include <unistd.h>

#include <cerrno>
#include <utility>

#include "orvex/automation_error.hpp"
#include "platform/files/file_error.hpp"
#include "platform/files/file_write.hpp"
#include "platform/files/whole_file.hpp"
#include "platform/scripting/reused_buffer.hpp"
#include "platform/scripting/utf16.hpp"

namespace orvex::scripting {
namespace {
constexpr int kBadFileNameOrNumber = 52;
constexpr std::string_view kUnicodeMark("\xFF\xFE", 2);
}  // namespace

TextStream::TextStream(int fd, int32_t ioMode, bool unicode, std::string path)
    : fd_(fd), ioMode_(ioMode), unicode_(unicode), path_(std::move(path)) {}

TextStream::TextStream(std::unique_ptr<files::AppendFile> appender, bool unicode, std::string path)
    : fd_(-1),
      appender_(std::move(appender)),
      ioMode_(ForAppending),
      unicode_(unicode),
      path_(std::move(path)) {}

TextStream::~TextStream() { Close(); }

void TextStream::WriteLine(const std::string& text) {
  RequireWritable();
  WriteBytes(Encode(text + "\r\n"));
}

void TextStream::Write(const std::string& text) {
  RequireWritable();
  if (!text.empty()) WriteBytes(Encode(text));
}

void TextStream::WriteBytes(std::string_view bytes) {
  if (appender_) {
    appender_->Append(bytes, unicode_ ? kUnicodeMark : std::string_view());
    return;
  }
  files::WriteAll(fd_, bytes, kScriptingSource);
}

void TextStream::WriteBlankLines(int32_t lines) {
  RequireWritable();
  std::string text;
  for (int32_t i = 0; i < lines; ++i) text += "\r\n";
  if (!text.empty()) WriteBytes(Encode(text));
}

std::string TextStream::ReadAll() {
  RequireOpen();
  if (ioMode_ != ForReading) Raise(errBadFileMode, kScriptingSource);
  std::string bytes;
  files::ReadToEnd(fd_, bytes, path_, kScriptingSource);
  if (!unicode_) return bytes;
  std::string_view units(bytes);
  if (units.size() >= 2 && units[0] == '\xFF' && units[1] == '\xFE') units.remove_prefix(2);
  return Utf16LEToUtf8(units);
}

void TextStream::Close() {
  appender_.reset();
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

void TextStream::RequireOpen() const {
  if (fd_ < 0 && !appender_) Raise(kBadFileNameOrNumber, kScriptingSource);
}

void TextStream::RequireWritable() const {
  RequireOpen();
  if (ioMode_ == ForReading) Raise(errBadFileMode, kScriptingSource);
}

std::string_view TextStream::Encode(std::string_view text) {
  if (!unicode_) return text;
  // The room keeps its size from write to write (its bytes past the text are stale), so an
  // ordinary record is widened straight into it, with nothing cleared or filled first.
  const size_t room = 2 * text.size();
  if (room <= kKeptBufferBytes && encoded_.capacity() > kKeptBufferBytes)
    std::string().swap(encoded_);  // an outsized record's room is given back
  if (encoded_.size() < room) encoded_.resize(room);
  return {encoded_.data(), WriteUtf16LE(text, encoded_.data())};
}

}  // namespace orvex::scripting
