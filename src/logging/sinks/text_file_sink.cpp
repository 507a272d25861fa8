#include "logging/sinks/text_file_sink.hpp"

#include "orvex/automation_error.hpp"
#include "platform/scripting/file_system.hpp"
#include "platform/scripting/reused_buffer.hpp"

namespace orvex::logging {

TextFileSink::TextFileSink(Kind kind, std::string owner) : kind_(kind), owner_(std::move(owner)) {}

TextFileSink::~TextFileSink() = default;

void TextFileSink::Open(const std::string& path) {
  if (kind_ == Kind::kUnicodeKeptOpen) {
    kept_stream_ = scripting::FileSystem().OpenTextFile(path, scripting::ForAppending, true,
                                                        scripting::TristateTrue);
    return;
  }
  path_ = path;
  // Opened as for a record, without one.
  files::AppendFile file(path_, scripting::kScriptingSource);
  file.Open();
}

std::string& TextFileSink::BeginRecord() {
  if (kind_ == Kind::kUnicodeKeptOpen) {
    if (!kept_stream_)
      Raise(errObjectNotSet, owner_, "No text log file is open: set pLogFile first");
  } else {
    per_record_file_.emplace(path_, scripting::kScriptingSource);
    try {
      per_record_file_->Open();
    } catch (...) {
      per_record_file_.reset();
      throw;
    }
  }
  scripting::ClearForNextRecord(record_);
  return record_;
}

void TextFileSink::FinishRecord() {
  record_.append("\r\n\r\n");
  if (kind_ == Kind::kUnicodeKeptOpen) {
    kept_stream_->Write(record_);
    return;
  }
  try {
    per_record_file_->Append(record_);
  } catch (...) {
    per_record_file_.reset();
    throw;
  }
  per_record_file_.reset();
}

}  // namespace orvex::logging
