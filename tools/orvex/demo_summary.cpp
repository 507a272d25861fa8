#include "demo_summary.hpp"

#include <algorithm>
#include <memory>
#include <sstream>

#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "platform/files/whole_file.hpp"

namespace orvex::cli::demo {

namespace {

// The demo's own outputs; one it did not write counts as empty.
std::string ReadFile(const std::string& path) {
  try {
    return files::ReadWholeFile(path, "orvex demo");
  } catch (const AutomationError&) {
    return {};
  }
}

int32_t CountOccurrences(const std::string& text, const std::string& needle) {
  int32_t count = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
    ++count;
  return count;
}

std::string Padded(const std::string& text, size_t width) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

}  // namespace

void PrintSummary(const std::vector<SummaryRow>& rows, std::ostream& out) {
  size_t loggerWidth = 6, destinationWidth = 11, whereWidth = 10;
  for (const SummaryRow& row : rows) {
    loggerWidth = std::max(loggerWidth, row.logger.size());
    destinationWidth = std::max(destinationWidth, row.destination.size());
    whereWidth = std::max(whereWidth, row.where.size());
  }
  out << Padded("logger", loggerWidth) << "  " << Padded("destination", destinationWidth) << "  "
      << Padded("path/table", whereWidth) << "  records\n";
  for (const SummaryRow& row : rows)
    out << Padded(row.logger, loggerWidth) << "  " << Padded(row.destination, destinationWidth)
        << "  " << Padded(row.where, whereWidth) << "  " << row.records << '\n';
}

int32_t CountUtf16Lines(const std::string& path, const std::string& marker) {
  std::string wide;
  for (char c : marker) wide += std::string{c, '\0'};
  return CountOccurrences(ReadFile(path), wide);
}

int32_t CountTextLines(const std::string& path) {
  std::istringstream in(ReadFile(path));
  int32_t count = 0;
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line != "\r") ++count;
  return count;
}

int32_t CountXmlRecords(const std::string& path, const std::string& element, bool rootAlike) {
  const std::string text = ReadFile(path);
  int32_t count = 0;
  for (const char* end : {" ", "/", ">", "\n", "\t"})
    count += CountOccurrences(text, "<" + element + end);
  return rootAlike && count > 0 ? count - 1 : count;
}

int32_t CountTableRows(const std::string& connectionString, const std::string& table) {
  auto connection = std::make_shared<data::Connection>();
  connection->Open(connectionString);
  const auto rows = connection->Execute("SELECT COUNT(*) FROM " + table);
  const int32_t count = CLng(rows->Fields()->Item(0)->Value());
  connection->Close();
  return count;
}

}  // namespace orvex::cli::demo
