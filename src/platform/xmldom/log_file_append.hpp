// Appending elements to a log document on disk without loading it: the file's bytes are copied
// up to the end of its root, the new elements written as saving the document would write them,
// then the rest of the file, and the result replaces the file atomically.
#pragma once

#include <string>

#include "platform/xmldom/dom.hpp"

namespace orvex::xmldom {

// Appends the children of parent (which keeps them) as the last children of the root of the
// XML file at path when the file is certainly a plain document whose root is named rootName
// (see ScanLogDocument) and returns true. Returns false, with the file untouched, when that is
// not certain or the file cannot be read: the caller then loads the document as a whole.
// A failed write raises as Document::save does and leaves the file as it was.
bool AppendChildrenToLogFile(const std::string& path, const std::string& rootName,
                             const Node& parent);

}  // namespace orvex::xmldom
