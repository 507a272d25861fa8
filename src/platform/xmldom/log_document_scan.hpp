// A quick, conservative check that a file is a plain log document -- an optional XML
// declaration, comments, one root element of a given name holding elements with attributes,
// text and comments -- that tells where new children of the root can be spliced in without
// parsing the document into a tree.
//
// The check accepts only what it is certain the parser accepts too: ASCII names without
// prefixes, no document type, no processing instructions, no CDATA sections, no references
// other than the predefined entities and character references, well-formed UTF-8, and sizes
// far below the parser's limits. Anything else is reported as "not sure", never as an error.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace orvex::xmldom {

struct LogDocumentLayout {
  // New children go in at insertAt; the original bytes continue from resumeAt.
  size_t insertAt = 0;
  size_t resumeAt = 0;
  // The root was written as an empty-element tag (<root/>): insertAt is the '/' of its "/>",
  // resumeAt the byte after it, so the splice must also close the start tag and add the end tag.
  bool emptyRoot = false;
  // The byte before insertAt ends a line (so the first new child needs no line break first).
  bool atLineStart = false;
};

// The layout of bytes when they are certainly a well-formed document whose root is named
// rootName and that can take new children at the end of the root; nullopt when not certain.
std::optional<LogDocumentLayout> ScanLogDocument(std::string_view bytes, std::string_view rootName);

}  // namespace orvex::xmldom
