#include "database_use.hpp"

namespace orvex::cli {

std::string ExistingDatabase(const std::string& connectionString, DatabaseUse use) {
  if (connectionString.find("://") != std::string::npos) return connectionString;
  std::string text = connectionString;
  while (!text.empty() && (text.back() == ';' || text.back() == ' ')) text.pop_back();
  // A key given again replaces the earlier one, so the mode the command needs wins.
  return text + (use == DatabaseUse::Read ? ";Mode=ReadOnly" : ";Mode=ReadWrite");
}

}  // namespace orvex::cli
