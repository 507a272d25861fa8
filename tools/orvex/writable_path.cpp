#include "writable_path.hpp"

#include <unistd.h>

#include <filesystem>

#include "orvex/automation_error.hpp"

namespace orvex::cli {

void RequireWritableFile(const std::string& command, const std::string& option,
                         const std::string& path) {
  namespace fs = std::filesystem;
  const std::string source = "orvex " + command;
  const std::string what = "--" + option + " " + path + ": ";
  std::error_code error;
  const fs::path file(path);
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  if (!fs::is_directory(folder, error))
    Raise(errPathNotFound, source, what + "the folder " + folder.string() + " does not exist");
  const fs::file_status status = fs::status(file, error);
  if (fs::is_directory(status)) Raise(errPathNotFound, source, what + "this is a folder");
  if (fs::exists(status)) {
    if (::access(path.c_str(), W_OK) != 0)
      Raise(errPermissionDenied, source, what + "the file may not be written");
  } else if (::access(folder.c_str(), W_OK) != 0) {
    Raise(errPermissionDenied, source,
          what + "the folder " + folder.string() + " may not be written");
  }
}

}  // namespace orvex::cli
