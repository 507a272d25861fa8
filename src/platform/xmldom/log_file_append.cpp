#include "platform/xmldom/log_file_append.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

#include "orvex/automation_error.hpp"
#include "platform/automation/ascii_case.hpp"
#include "platform/files/atomic_file.hpp"
#include "platform/files/file_error.hpp"
#include "platform/files/file_lock.hpp"
#include "platform/files/file_write.hpp"
#include "platform/files/whole_file.hpp"
#include "platform/xmldom/log_document_scan.hpp"

namespace orvex::xmldom {
namespace {

// How much of the file's end is read to find the root's end tag, and of its start to find its
// encoding.
constexpr size_t kTailBytes = 4096;
constexpr size_t kHeadBytes = 512;
// Line breaks tried, from the end, when cutting a torn file back to its last whole record.
constexpr int kRepairAttempts = 64;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string ReadAt(int fd, size_t offset, size_t count, const std::string& path) {
  std::string bytes(count, '\0');
  size_t done = 0;
  while (done < count) {
    ssize_t got = ::pread(fd, bytes.data() + done, count - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw files::ErrorFromErrno(errno, path, kDomSource);
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  bytes.resize(done);
  return bytes;
}

// Where the root's end tag starts when the bytes end with it, followed by nothing but white
// space and comments; else nullopt.
std::optional<size_t> EndTagAt(std::string_view tail, const std::string& endTag) {
  size_t end = tail.size();
  for (;;) {
    while (end > 0 && IsSpace(tail[end - 1])) --end;
    const std::string_view before = tail.substr(0, end);
    if (before.size() < 3 || before.substr(before.size() - 3) != "-->") break;
    const size_t open = before.rfind("<!--");
    if (open == std::string_view::npos) return std::nullopt;
    end = open;
  }
  if (end < endTag.size() || tail.substr(end - endTag.size(), endTag.size()) != endTag)
    return std::nullopt;
  return end - endTag.size();
}

// True when the document's bytes are UTF-8 (no byte-order mark of UTF-16 or UTF-32, and no
// declared encoding other than UTF-8), so that records serialised as UTF-8 can be
// written into it as they are.
bool IsUtf8Document(std::string_view head) {
  if (head.size() >= 2 &&
      ((head[0] == '\xFF' && head[1] == '\xFE') || (head[0] == '\xFE' && head[1] == '\xFF') ||
       head[0] == '\0' || head[1] == '\0'))
    return false;
  if (head.substr(0, 3) == "\xEF\xBB\xBF") head.remove_prefix(3);
  if (head.substr(0, 5) != "<?xml") return true;
  const size_t close = head.find("?>");
  if (close == std::string_view::npos) return false;
  const std::string_view declaration = head.substr(0, close);
  const size_t key = declaration.find("encoding");
  if (key == std::string_view::npos) return true;
  const size_t open = declaration.find_first_of("\"'", key);
  if (open == std::string_view::npos) return false;
  const size_t stop = declaration.find(declaration[open], open + 1);
  if (stop == std::string_view::npos) return false;
  const std::string_view name = declaration.substr(open + 1, stop - open - 1);
  return ascii::EqualsIgnoringCase(name, "utf-8") || ascii::EqualsIgnoringCase(name, "utf8");
}

// True when the head holds the start tag of a root named rootName.
bool StartsRoot(std::string_view head, const std::string& rootName) {
  const std::string open = "<" + rootName;
  for (size_t at = head.find(open); at != std::string_view::npos; at = head.find(open, at + 1)) {
    const size_t next = at + open.size();
    if (next < head.size() && (head[next] == '>' || head[next] == '/' || IsSpace(head[next])))
      return true;
  }
  return false;
}

// The root with the records, as Document::save writes it.
std::string RootWithRecords(const std::string& rootName, const Node& records) {
  if (!records.firstChild()) return "<" + rootName + "/>\n";
  return "<" + rootName + ">\n" + records.childrenXmlAsSaved(1) + "</" + rootName + ">\n";
}

// A file whose last in-place save was cut short ends inside the records it was writing: it is
// cut back to the last line break after which the root's end tag makes the document whole
// again, and replaced by that. False when no such line break is found near the end.
bool RepairTornLog(const std::string& target, const std::string& rootName) {
  const std::string bytes = files::ReadWholeFile(target, kDomSource);
  const std::string endTag = "</" + rootName + ">\n";
  size_t cut = bytes.size();
  for (int attempt = 0; attempt < kRepairAttempts && cut > 0; ++attempt) {
    cut = bytes.rfind('\n', cut - 1);
    if (cut == std::string::npos) return false;
    std::string candidate = bytes.substr(0, cut + 1) + endTag;
    if (ScanLogDocument(candidate, rootName)) {
      files::WriteFileAtomically(target, candidate, kDomSource);
      return true;
    }
  }
  return false;
}

// Writes records over the root's end tag at insertAt, and the end tag and whatever followed it
// after them, then flushes. On failure the bytes that were there are put back.
void AppendInPlace(int fd, const std::string& target, size_t size, size_t insertAt,
                   std::string_view before, const Node& records) {
  const std::string original = ReadAt(fd, insertAt, size - insertAt, target);
  std::string inserted;
  if (insertAt > 0 && before.size() > 0 && before.back() != '\n') inserted = "\n";
  inserted += records.childrenXmlAsSaved(1);
  inserted += original;
  try {
    if (::lseek(fd, static_cast<off_t>(insertAt), SEEK_SET) < 0)
      throw files::ErrorFromErrno(errno, target, kDomSource);
    files::WriteAll(fd, inserted, kDomSource);
    const size_t end = insertAt + inserted.size();
    if (end < size && ::ftruncate(fd, static_cast<off_t>(end)) != 0)
      throw files::ErrorFromErrno(errno, target, kDomSource);
    if (::fdatasync(fd) != 0) throw files::ErrorFromErrno(errno, target, kDomSource);
  } catch (...) {
    // The end tag and what followed it go back; the records written meanwhile are cut off.
    if (::pwrite(fd, original.data(), original.size(), static_cast<off_t>(insertAt)) ==
        static_cast<ssize_t>(original.size())) {
      if (::ftruncate(fd, static_cast<off_t>(size)) == 0) ::fdatasync(fd);
    }
    throw;
  }
}

// Loads the whole document, adds the records under its root (whatever its name) and replaces
// the file.
void AppendByRewriting(const std::string& target, Node& records) {
  auto file = Document::Create();
  file->load(target);
  NodePtr root = file->documentElement();
  if (!root)
    Raise(errObjectNotSet, kDefaultErrorSource,
          "The XML log file " + target + " cannot be read as a log document");
  // The records move into the file's document and back again, whether the save worked or not.
  std::vector<NodePtr> moved;
  while (NodePtr record = records.firstChild()) moved.push_back(root->appendChild(record));
  auto giveBack = [&] {
    for (const NodePtr& record : moved) records.appendChild(record);
  };
  try {
    file->save(target);
  } catch (...) {
    giveBack();
    throw;
  }
  giveBack();
}

}  // namespace

void SaveRecordsToLogFile(const std::string& path, const std::string& rootName, Node& records,
                          const Document& header, bool checkWholeFile) {
  files::IgnoreFileSizeSignal();
  const std::string target = files::FollowLinks(path, kDomSource);
  struct stat info {};
  const bool existed = ::stat(target.c_str(), &info) == 0;
  files::FileDescriptor file = files::OpenLocked(target, O_RDWR | O_CREAT, kDomSource);
  if (::fstat(file.get(), &info) != 0) throw files::ErrorFromErrno(errno, target, kDomSource);
  const size_t size = static_cast<size_t>(info.st_size);
  if (size == 0) {
    // New, or emptied by a log rotation: the whole new document goes into the locked file
    // itself (a rename over the path could replace the file another process has just made
    // there after a rotation).
    try {
      files::WriteAll(file.get(), header.xml() + RootWithRecords(rootName, records), kDomSource);
      if (::fdatasync(file.get()) != 0) throw files::ErrorFromErrno(errno, target, kDomSource);
      if (!existed) files::SyncFolderOf(target);
    } catch (...) {
      // A failed save leaves the file empty, or no file where there was none (other savers
      // waiting for the lock find the path gone and create it again).
      if (::ftruncate(file.get(), 0) == 0 && !existed && files::PathNamesFile(target, file.get()))
        ::unlink(target.c_str());
      throw;
    }
    return;
  }
  if (!records.firstChild()) return;
  const std::string head = ReadAt(file.get(), 0, std::min(size, kHeadBytes), target);
  const size_t tailStart = size - std::min(size, kTailBytes);
  const std::string tail = ReadAt(file.get(), tailStart, size - tailStart, target);
  const std::string endTagText = "</" + rootName + ">";
  const bool utf8 = IsUtf8Document(head);
  // Torn (a save cut short, by a kill or a crash): a log of this root, its start tag near the
  // start, whose end tag is gone. Cut back to its last whole record before anything else, also
  // on a logger's first save, which would otherwise find the document unreadable.
  if (utf8 && tail.find(endTagText) == std::string::npos && StartsRoot(head, rootName) &&
      RepairTornLog(target, rootName)) {
    // Repaired into a new file: this save goes on with that one.
    SaveRecordsToLogFile(target, rootName, records, header, false);
    return;
  }
  if (checkWholeFile &&
      !ScanLogDocument(files::ReadWholeFile(target, kDomSource), rootName).has_value()) {
    AppendByRewriting(target, records);
    return;
  }
  if (utf8) {
    std::optional<size_t> endTag = EndTagAt(tail, endTagText);
    if (endTag && !(tailStart == 0 && *endTag == 0)) {
      AppendInPlace(file.get(), target, size, tailStart + *endTag,
                    std::string_view(tail).substr(0, *endTag), records);
      return;
    }
  }
  AppendByRewriting(target, records);
}

}  // namespace orvex::xmldom
