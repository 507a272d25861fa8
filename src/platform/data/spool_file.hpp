// The spool folder's files, written with plain POSIX calls: an append that is on disk before it
// returns, a whole read, a rename and a removal, each under an exclusive lock on the file.
// (Kept apart so that it can join the shared file layer; nothing else here touches the disk.)
#pragma once

#include <string>
#include <vector>

namespace orvex::data::internal {

// An exclusive lock on a spool file, held while the object lives. The file is created (mode 0600)
// when `create` is set and it does not exist; otherwise a missing file gives an object for which
// IsOpen() is false. A file removed or renamed while the lock was awaited is opened again.
class SpoolFile {
 public:
  SpoolFile(std::string path, bool create);
  ~SpoolFile();
  SpoolFile(const SpoolFile&) = delete;
  SpoolFile& operator=(const SpoolFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  // Appends the bytes in one write and waits until they are on disk. Raises an AutomationError
  // (source "ORVEX.Spool") naming the file and the system's reason when it cannot.
  void AppendThrough(const std::string& bytes);
  std::string ReadAll();
  // Removes the file, or moves it to `newPath`; the lock ends with the object.
  void Remove();
  void MoveTo(const std::string& newPath);

 private:
  [[noreturn]] void Fail(const std::string& what) const;

  std::string path_;
  int fd_ = -1;
};

// The names of the files in `folder` that begin with `prefix` and end with `suffix`, sorted.
std::vector<std::string> SpoolFilesIn(const std::string& folder, const std::string& prefix,
                                      const std::string& suffix);

}  // namespace orvex::data::internal
