#include "platform/xmldom/log_file_append.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/scripting/atomic_file.hpp"
#include "platform/xmldom/log_document_scan.hpp"

namespace orvex::xmldom {
namespace {

// The bytes of a file, read without first clearing the memory they go to.
struct FileBytes {
  std::unique_ptr<char[]> data;
  size_t size = 0;
  std::string_view view() const { return {data.get(), size}; }
};

// The whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, FileBytes& bytes) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (ok) {
    bytes.size = static_cast<size_t>(info.st_size);
    bytes.data.reset(new char[bytes.size + 1]);  // + 1: the check for growth below reads there
  }
  size_t done = 0;
  while (ok && done < bytes.size) {
    ssize_t got = ::read(fd, bytes.data.get() + done, bytes.size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) ok = false;  // an error, or the file shrank under us
    if (got > 0) done += static_cast<size_t>(got);
  }
  // A file that grew meanwhile is being written by someone else: leave it to the full load.
  if (ok && ::read(fd, bytes.data.get() + bytes.size, 1) != 0) ok = false;
  ::close(fd);
  return ok;
}

}  // namespace

bool AppendChildrenToLogFile(const std::string& path, const std::string& rootName,
                             const Node& parent) {
  FileBytes bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  const std::string_view text = bytes.view();
  std::optional<LogDocumentLayout> layout = ScanLogDocument(text, rootName);
  if (!layout) return false;

  std::string inserted;
  if (layout->emptyRoot) {
    inserted = ">\n";  // <root/> becomes <root> ... </root>
  } else if (!layout->atLineStart) {
    inserted = "\n";
  }
  inserted += parent.childrenXmlAsSaved(1);
  if (layout->emptyRoot) inserted += "</" + rootName + ">";

  scripting::AtomicFile file(path, kDomSource);
  file.Write(text.substr(0, layout->insertAt));
  file.Write(inserted);
  file.Write(text.substr(layout->resumeAt));
  file.Commit();
  return true;
}

}  // namespace orvex::xmldom
