#include "logging/record_file.hpp"

#include "platform/scripting/file_system.hpp"

namespace orvex::logging {

files::AppendFile OpenRecordFile(const std::string& path) {
  files::AppendFile file(path, scripting::kScriptingSource);
  file.Open();
  return file;
}

void WriteRecord(files::AppendFile& file, const std::string& line) {
  file.Append(line + "\r\n\r\n");
  file.Close();
}

void CreateRecordFileIfMissing(const std::string& path) {
  scripting::FileSystem files;
  if (files.FileExists(path)) return;
  files.CreateTextFile(path, false, false)->Close();
}

}  // namespace orvex::logging
