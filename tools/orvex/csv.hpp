// CSV as RFC 4180 writes it: fields separated by commas, records ended by CR LF, a field quoted
// when it holds a comma, a quote, CR or LF, and a quote inside a quoted field doubled.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace orvex::cli {

using CsvRecord = std::vector<std::string>;

// One record with its CR LF.
std::string CsvLine(const CsvRecord& fields);

// Every record of the text; a quoted field may span lines. Accepts LF as well as CR LF line ends
// and a missing line end at the end. Raises (error 13, saying where) on a quote inside an
// unquoted field, text after a closing quote, or a quoted field that never ends.
std::vector<CsvRecord> ReadCsv(std::istream& in);

}  // namespace orvex::cli
