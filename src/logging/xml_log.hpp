// The XML log shared by the three loggers: records buffered in memory under a root element and
// written to the file by Save; the file starts with a declaration, a notice and a banner.
#pragma once

#include <memory>
#include <string>

namespace orvex::logging {

class XmlLog {
 public:
  explicit XmlLog(std::string rootName);
  ~XmlLog();

 private:
  std::string rootName_;
};

}  // namespace orvex::logging
