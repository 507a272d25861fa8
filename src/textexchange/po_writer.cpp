#include <cstdio>

#include "platform/automation/language_tag.hpp"
#include "textexchange/po_format.hpp"

namespace orvex::textexchange {

namespace {

// gettext folds a string so that no line passes this column.
constexpr size_t kPageWidth = 79;

void AppendEscaped(std::string& out, unsigned char c) {
  switch (c) {
    case '\\':
      out += "\\\\";
      return;
    case '"':
      out += "\\\"";
      return;
    case '\a':
      out += "\\a";
      return;
    case '\b':
      out += "\\b";
      return;
    case '\f':
      out += "\\f";
      return;
    case '\n':
      out += "\\n";
      return;
    case '\r':
      out += "\\r";
      return;
    case '\t':
      out += "\\t";
      return;
    case '\v':
      out += "\\v";
      return;
    default:
      break;
  }
  if (c < 0x20 || c == 0x7F) {
    // Three octal digits, so that a digit after it is never read as part of it.
    char octal[5];
    std::snprintf(octal, sizeof octal, "\\%03o", c);
    out += octal;
    return;
  }
  out += static_cast<char>(c);
}

// Columns that the escaped text takes: a character per code point.
size_t Columns(const std::string& escaped) {
  size_t columns = 0;
  for (unsigned char c : escaped)
    if ((c & 0xC0) != 0x80) ++columns;
  return columns;
}

// The text cut after each line break, each piece escaped.
std::vector<std::string> EscapedLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    AppendEscaped(lines.back(), static_cast<unsigned char>(text[i]));
    if (text[i] == '\n' && i + 1 < text.size()) lines.emplace_back();
  }
  return lines;
}

// Cuts an escaped line after spaces so that, in quotes, each piece fits the page.
std::vector<std::string> FoldAtSpaces(const std::string& line) {
  std::vector<std::string> pieces;
  const size_t room = kPageWidth - 2;
  size_t start = 0;
  while (Columns(line.substr(start)) > room) {
    size_t cut = std::string::npos;
    size_t columns = 0;
    for (size_t i = start; i < line.size() && columns < room; ++i) {
      if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++columns;
      if (line[i] == ' ') cut = i + 1;
    }
    if (cut == std::string::npos || cut >= line.size()) {
      // No space within the page: gettext then leaves the line long, up to the next space.
      cut = line.find(' ', start);
      if (cut == std::string::npos || cut + 1 >= line.size()) break;
      ++cut;
    }
    pieces.push_back(line.substr(start, cut - start));
    start = cut;
  }
  pieces.push_back(line.substr(start));
  return pieces;
}

void WriteString(std::string& out, const char* keyword, const std::string& text) {
  const std::vector<std::string> lines = EscapedLines(text);
  const std::string keywordText = keyword;
  if (lines.size() == 1 && keywordText.size() + 3 + Columns(lines[0]) <= kPageWidth) {
    out += keywordText + " \"" + lines[0] + "\"\n";
    return;
  }
  out += keywordText + " \"\"\n";
  for (const std::string& line : lines)
    for (const std::string& piece : FoldAtSpaces(line)) out += "\"" + piece + "\"\n";
}

// A header value stays on its line: control characters become spaces.
std::string HeaderValue(std::string value) {
  for (char& c : value)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return value;
}

std::string DateText(const Date& created, int32_t utcOffsetMinutes) {
  const DateParts parts = created.Parts();
  const int32_t offset = utcOffsetMinutes < 0 ? -utcOffsetMinutes : utcOffsetMinutes;
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d%c%02d%02d", parts.year, parts.month,
                parts.day, parts.hour, parts.minute, utcOffsetMinutes < 0 ? '-' : '+', offset / 60,
                offset % 60);
  return text;
}

std::string Header(const ExchangeDocument& document, const Date& created,
                   int32_t utcOffsetMinutes) {
  const std::string date = DateText(created, utcOffsetMinutes);
  return "Project-Id-Version: " + HeaderValue(document.origin) +
         "\n"
         "Report-Msgid-Bugs-To: \n"
         "POT-Creation-Date: " +
         date + "\nPO-Revision-Date: " + date +
         "\n"
         "Last-Translator: \n"
         "Language-Team: \n"
         "Language: " +
         languages::LanguageTag(document.language) +
         "\n"
         "MIME-Version: 1.0\n"
         "Content-Type: text/plain; charset=UTF-8\n"
         "Content-Transfer-Encoding: 8bit\n"
         "X-ORVEX-Source-Language: " +
         HeaderValue(document.sourceLanguage) +
         "\nX-ORVEX-Language: " + HeaderValue(document.language) + "\n";
}

}  // namespace

std::string WritePo(const ExchangeDocument& document, const Date& created,
                    int32_t utcOffsetMinutes) {
  std::string out = "# " + HeaderValue(document.origin) + ": " + HeaderValue(document.language) +
                    " beside " + HeaderValue(document.sourceLanguage) +
                    ", one entry per ID (msgctxt).\n";
  out += "msgid \"\"\n";
  WriteString(out, "msgstr", Header(document, created, utcOffsetMinutes));
  for (const ExchangeUnit& unit : document.units) {
    out += '\n';
    WriteString(out, "msgctxt", unit.id);
    WriteString(out, "msgid", unit.source);
    WriteString(out, "msgstr", unit.translated ? unit.target : std::string());
  }
  return out;
}

}  // namespace orvex::textexchange
