// Where the SAX reader reads a document from: local paths and file: URLs only.
#pragma once

#include <string>

namespace orvex::xmldom {

// The local path of url: a plain path, or a file: URL (file:///p, file://localhost/p,
// percent-escapes decoded). A relative path is taken from baseURL's folder when baseURL is set.
// Any other scheme raises an AutomationError: the reader never uses the network.
std::string LocalPathOf(const std::string& url, const std::string& baseURL);

}  // namespace orvex::xmldom
