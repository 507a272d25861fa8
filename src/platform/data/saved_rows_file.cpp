#include "platform/data/saved_rows_file.hpp"

#include <memory>

#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "platform/data/errors.hpp"
#include "platform/files/atomic_file.hpp"
#include "platform/files/whole_file.hpp"

namespace orvex::data::internal {

namespace {
constexpr const char* kFileSource = "Recordset";
}  // namespace

std::string ReadWholeFile(const std::string& path) {
  try {
    return files::ReadWholeFile(path, kFileSource);
  } catch (const AutomationError& error) {
    RaiseDataError(adErrOpeningFile, kFileSource,
                   "File could not be read: '" + path + "' (" + error.Description + ")");
  }
}

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
  std::unique_ptr<files::AtomicFile> file;
  try {
    file = std::make_unique<files::AtomicFile>(path, kFileSource);
  } catch (const AutomationError& error) {
    RaiseDataError(adErrOpeningFile, kFileSource,
                   "File could not be created next to '" + path + "' (" + error.Description + ")");
  }
  try {
    file->Write(bytes);
    file->Commit();
  } catch (const AutomationError& error) {
    RaiseDataError(
        adErrWriteFault, kFileSource,
        "Saving '" + path + "' failed: " + error.Description + "; the previous file is unchanged");
  }
}

}  // namespace orvex::data::internal
