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
  // Opened as for a record, without one: several processes may make the file at once.
  OpenRecordFile(path);
}

}  // namespace orvex::logging
