// Saving records into a log document on disk that several processes (and several objects of
// one process) save into, and that logrotate may rename or empty between saves.
//
// The file's exclusive advisory lock is held for the whole save. A file that ends with the
// root's end tag (and white space or comments) takes the new records in place: they are written
// over that end tag, followed by it and the rest again, and flushed -- a save costs what it adds,
// not a copy of the file. A save cut short by a crash leaves the file without its end tag; the next
// save cuts it back to its last whole record first. Any other file is loaded whole and replaced
// atomically.
#pragma once

#include <string>

#include "platform/xmldom/dom.hpp"

namespace orvex::xmldom {

// Saves the children of records (which keeps them) as the last children of the root, named
// rootName, of the log file at path (a symbolic link is followed and kept). A missing or empty
// file becomes header (a document of a declaration and comments) followed by the root with the
// records. A failed write raises as Document::save does and leaves the file as it was (or, after
// a crash, as the next save repairs it); a file that does not load as a document raises error 91
// and is not changed. (A document with another root takes the records under that root.)
//
// With checkWholeFile (a logger's first save to a file) the whole file is checked first, and
// one that is not certainly a plain log document (see ScanLogDocument) is loaded and rewritten,
// so that a document that does not parse is refused rather than appended to.
void SaveRecordsToLogFile(const std::string& path, const std::string& rootName, Node& records,
                          const Document& header, bool checkWholeFile);

}  // namespace orvex::xmldom
