#include "platform/xmldom/log_file_append.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/scripting/atomic_file.hpp"
#include "platform/xmldom/log_document_scan.hpp"

namespace orvex::xmldom {
namespace {

// The whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (ok) bytes.resize(static_cast<size_t>(info.st_size));
  size_t done = 0;
  while (ok && done < bytes.size()) {
    ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) ok = false;  // an error, or the file shrank under us
    if (got > 0) done += static_cast<size_t>(got);
  }
  // A file that grew meanwhile is being written by someone else: leave it to the full load.
  char more;
  if (ok && ::read(fd, &more, 1) != 0) ok = false;
  ::close(fd);
  return ok;
}

}  // namespace

bool AppendChildrenToLogFile(const std::string& path, const std::string& rootName,
                             const Node& parent) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  std::optional<LogDocumentLayout> layout = ScanLogDocument(bytes, rootName);
  if (!layout) return false;

  std::string inserted;
  if (layout->emptyRoot) {
    inserted = ">\n";  // <root/> becomes <root> ... </root>
  } else if (!layout->atLineStart) {
    inserted = "\n";
  }
  inserted += parent.childrenXmlAsSaved(1);
  if (layout->emptyRoot) inserted += "</" + rootName + ">";

  const std::string_view text(bytes);
  scripting::AtomicFile file(path, kDomSource);
  file.Write(text.substr(0, layout->insertAt));
  file.Write(inserted);
  file.Write(text.substr(layout->resumeAt));
  file.Commit();
  return true;
}

}  // namespace orvex::xmldom
