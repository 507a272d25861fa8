#include "logging/record_file.hpp"

namespace orvex::logging {

std::shared_ptr<scripting::TextStream> OpenRecordFile(const std::string& path) {
  return scripting::FileSystem().OpenTextFile(path, scripting::ForAppending, true,
                                              scripting::TristateFalse);
}

void WriteRecord(scripting::TextStream& stream, const std::string& line) {
  stream.WriteLine(line);
  stream.WriteLine("");
  stream.Close();
}

void CreateRecordFileIfMissing(const std::string& path) {
  scripting::FileSystem files;
  if (files.FileExists(path)) return;
  files.CreateTextFile(path, false, false)->Close();
}

}  // namespace orvex::logging
