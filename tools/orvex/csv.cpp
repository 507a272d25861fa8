#include "csv.hpp"

#include <iterator>

#include "orvex/automation_error.hpp"

namespace orvex::cli {

namespace {

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

[[noreturn]] void Malformed(size_t line, const std::string& what) {
  Raise(errTypeMismatch, "orvex csv",
        "malformed CSV on line " + std::to_string(line) + ": " + what);
}

// Reads the text character by character; a small state machine over the RFC's grammar.
class CsvReader {
 public:
  explicit CsvReader(std::string text) : text_(std::move(text)) {}

  std::vector<CsvRecord> ReadAll() {
    while (pos_ < text_.size()) records_.push_back(ReadRecord());
    return std::move(records_);
  }

 private:
  CsvRecord ReadRecord() {
    CsvRecord record;
    while (true) {
      record.push_back(AtQuote() ? ReadQuoted() : ReadPlain());
      if (pos_ >= text_.size()) return record;
      if (text_[pos_] == ',') {
        ++pos_;
        continue;
      }
      EndLine();
      return record;
    }
  }

  bool AtQuote() const { return pos_ < text_.size() && text_[pos_] == '"'; }

  std::string ReadPlain() {
    std::string field;
    while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' &&
           text_[pos_] != '\n') {
      if (text_[pos_] == '"') Malformed(line_, "a quote inside an unquoted field");
      field += text_[pos_++];
    }
    return field;
  }

  std::string ReadQuoted() {
    const size_t startLine = line_;
    std::string field;
    ++pos_;
    while (true) {
      if (pos_ >= text_.size()) Malformed(startLine, "a quoted field does not end");
      const char c = text_[pos_++];
      if (c == '\n') ++line_;
      if (c != '"') {
        field += c;
      } else if (pos_ < text_.size() && text_[pos_] == '"') {
        field += '"';
        ++pos_;
      } else {
        break;
      }
    }
    if (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' && text_[pos_] != '\n')
      Malformed(line_, "text after a closing quote");
    return field;
  }

  void EndLine() {
    if (text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    ++line_;
  }

  std::string text_;
  size_t pos_ = 0;
  size_t line_ = 1;
  std::vector<CsvRecord> records_;
};

}  // namespace

std::string CsvLine(const CsvRecord& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) line += (i == 0 ? "" : ",") + CsvField(fields[i]);
  return line + "\r\n";
}

std::vector<CsvRecord> ReadCsv(std::istream& in) {
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  // Spreadsheets often start a UTF-8 file with a byte-order mark; it is not part of the data.
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  return CsvReader(std::move(text)).ReadAll();
}

}  // namespace orvex::cli
