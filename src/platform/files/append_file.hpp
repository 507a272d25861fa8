// Appending whole records to a file that other processes (and other objects of this process)
// append to and that logrotate may rename or truncate between records.
#pragma once

#include <string>
#include <string_view>

#include "platform/files/regular_file.hpp"

namespace orvex::files {

class AppendFile {
 public:
  // Remembers the path; nothing is opened until the first Append (or Open).
  AppendFile(std::string path, std::string source);

  // Opens the file, creating it (0666 less the umask) when missing, and writes header when it
  // is empty, as Append does. Raises as Append.
  void Open(std::string_view header = {});
  // Appends record to the end of the file as one write, under the file's exclusive lock, and
  // returns once the OS holds it (with flush, once it is on disk). Before the record it looks
  // at the path again: when the path names another file than the one open (log rotation by
  // renaming, a deleted file), that file is opened or created; header (a byte-order mark) goes
  // in the same write when the file is empty (new, or truncated by copytruncate).
  // A write that fails leaves the file as it was before the record (cut back to its length)
  // and raises (61 for a full disk or a file-size limit). A path that is not a regular file is
  // refused with error 75.
  void Append(std::string_view record, std::string_view header = {}, bool flush = false);
  void Close() { file_.Reset(); }
  const std::string& Path() const { return path_; }

 private:
  void EnsureOpen();

  std::string path_;
  std::string source_;
  FileDescriptor file_;
  std::string joined_;  // header and record, for the write that starts a file
};

// Appends one whole record to the file at path (see AppendFile::Append), opening and closing
// it around the record.
void AppendToFile(const std::string& path, std::string_view record, const std::string& source,
                  std::string_view header = {}, bool flush = false);

}  // namespace orvex::files
