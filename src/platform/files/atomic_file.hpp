// Replaces a file as a whole or not at all: the new contents go to a temporary file beside the
// target, which is flushed to disk and renamed over it, and the folder is flushed so that the
// rename survives a crash. The one way the library saves a whole file.
#pragma once

#include <string>
#include <string_view>

#include "platform/files/regular_file.hpp"

namespace orvex::files {

class AtomicFile {
 public:
  // A path that is a symbolic link is followed: the file it names is replaced and the link
  // stays. Refuses (error 75) a target that exists and is not a regular file. Creates the
  // temporary file exclusively and close-on-exec, 0666 less the umask (applied by the kernel,
  // so the process umask is never touched); raises an AutomationError (76 when the folder is
  // missing, 70 when it is not writable ...) naming source.
  AtomicFile(const std::string& path, std::string source);
  // Without Commit the temporary file is removed and the target is left untouched.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Appends bytes to the new contents (through WriteAll, so failures can be injected).
  void Write(std::string_view bytes);
  // Flushes, renames over the target and flushes the folder. The new file takes the mode of
  // the file it replaces. After a failure the target is unchanged.
  void Commit();
  // The file that Commit replaces (the path with its links followed).
  const std::string& Target() const { return target_; }

 private:
  void Discard() noexcept;

  std::string target_;
  std::string source_;
  std::string tempPath_;
  FileDescriptor file_;
};

// Replaces the file at path with contents in one step (see AtomicFile).
void WriteFileAtomically(const std::string& path, std::string_view contents,
                         const std::string& source);

// Flushes a folder, so that a rename or a new file in it survives a crash. Failures are ignored
// (the operation itself is done).
void SyncFolderOf(const std::string& path);

}  // namespace orvex::files
