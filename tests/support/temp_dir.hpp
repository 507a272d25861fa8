// A temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>

namespace orvex::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Path of a file inside the folder.
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// The whole content of a file as bytes ("" when it cannot be read).
std::string ReadFile(const std::string& path);
// Replaces a file's content with the bytes.
void WriteFile(const std::string& path, const std::string& bytes);

// The UTF-16LE bytes of an ASCII text, as a text log holds it.
inline std::string Utf16(const std::string& ascii) {
  std::string bytes;
  for (char c : ascii) bytes += std::string{c, '\0'};
  return bytes;
}

}  // namespace orvex::testing
