// Replaces a file as a whole or not at all: the new contents go to a temporary file in the same
// folder, which is flushed to disk and renamed over the target, and the folder is flushed so
// that the rename survives a crash. Shared by every service that saves a whole file.
#pragma once

#include <string>
#include <string_view>

namespace orvex::scripting {

class AtomicFile {
 public:
  // Creates the temporary file beside path; raises an AutomationError (76 when the folder is
  // missing, 70 when it is not writable ...) naming source.
  AtomicFile(std::string path, std::string source);
  // Without Commit the temporary file is removed and the target is left untouched.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Appends bytes to the new contents (through WriteAll, so failures can be injected).
  void Write(std::string_view bytes);
  // Flushes, renames over the target and flushes the folder. The new file takes the mode of
  // the file it replaces, or 0666 less the umask. After a failure the target is unchanged.
  void Commit();

 private:
  void Discard() noexcept;

  std::string path_;
  std::string source_;
  std::string tempPath_;
  int fd_ = -1;
};

// Replaces the file at path with contents in one step (see AtomicFile).
void WriteFileAtomically(const std::string& path, std::string_view contents,
                         const std::string& source);

}  // namespace orvex::scripting
