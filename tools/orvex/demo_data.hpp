// What the demo puts in its database: the tables and the texts in English and Arabic.
#pragma once

#include <string>
#include <vector>

namespace orvex::cli::demo {

struct MessageRow {
  int id;
  const char* english;
  const char* arabic;
};

// The messages, stored under their IDs in Messages; the error logger reads them by
// plain error number minus the first number of its range.
const std::vector<MessageRow>& Messages();
// Words of the user interface, stored in LanguageStrings (read by ID in any language).
const std::vector<MessageRow>& LanguageStrings();

// CREATE TABLE statements, one per table the demo uses.
const std::vector<std::string>& Schema();

}  // namespace orvex::cli::demo
