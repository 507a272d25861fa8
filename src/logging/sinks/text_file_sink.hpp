// The text log destination: one record (a line and an empty line after it, each ending in CR
// LF) appended to a file in one write, under the file's lock, so that other processes share the
// file and logrotate may rename or truncate it between records.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files/append_file.hpp"

namespace orvex::scripting {
class TextStream;
}  // namespace orvex::scripting

namespace orvex::logging {

class TextFileSink {
 public:
  // How the file is held. The error log is UTF-16 and stays open from pLogFile to pLogFile; the
  // event and transaction logs are ASCII and opened for each record.
  enum class Kind { kUnicodeKeptOpen, kAsciiPerRecord };

  // owner: the logger's class name, the source of the sink's own errors.
  TextFileSink(Kind kind, std::string owner);
  ~TextFileSink();
  TextFileSink(const TextFileSink&) = delete;
  TextFileSink& operator=(const TextFileSink&) = delete;

  // kUnicodeKeptOpen: opens path for appending (created when missing) and keeps it open in
  // place of the file open before, which stays when this open fails. kAsciiPerRecord: remembers
  // path, then creates the file empty when it is missing (several processes may do so at once);
  // the path is remembered also when that fails. Raises the file layer's error.
  void Open(const std::string& path);

  // Writes one record whose line `compose` appends to the room it is given. With a file opened
  // per record, compose runs once the file is open, so that a file that cannot be opened
  // leaves whatever compose would change as it was. Raises error 91 when no file is open (kept
  // open) and the file layer's errors; a failed write leaves the file as it was.
  template <class Compose>
  void Write(Compose&& compose) {
    std::string& room = BeginRecord();
    try {
      compose(room);
    } catch (...) {
      per_record_file_.reset();
      throw;
    }
    FinishRecord();
  }
  // The same for a line composed already.
  void WriteLine(std::string_view line) {
    Write([line](std::string& room) { room.append(line); });
  }

 private:
  // Opens the file of a record (or checks that one is open) and gives the emptied room.
  std::string& BeginRecord();
  // Ends the room's record with the empty line and writes it in one write.
  void FinishRecord();

  Kind kind_;
  std::string owner_;
  std::shared_ptr<scripting::TextStream> kept_stream_;  // kUnicodeKeptOpen
  std::string path_;                                    // kAsciiPerRecord
  std::optional<files::AppendFile> per_record_file_;    // open only while a record is written
  std::string record_;  // the record's room, kept from record to record
};

}  // namespace orvex::logging
