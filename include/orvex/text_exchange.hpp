// The texts of a multilingual table for translators: one target language beside a source
// language, exported as a gettext PO file or an XLIFF 1.2 or 2.0 document, and imported back
// into the table it came from, with a report per ID.
//
// Every kind of table takes part: a database table (as CTextTable reads it), an XML glossary (as
// CTextTable2 reads it) and a saved-rows file (as CTextTable3 reads it). A file carries the IDs
// (msgctxt in PO, the unit id in XLIFF), the source texts and the target texts; an empty target
// is an untranslated text. An import never adds rows and never empties a text: it fills or
// changes the target texts of IDs the table has, and refuses an entry whose ID the table lacks,
// whose source text changed since the export, or whose ID the file holds twice.
#pragma once

#include <cstdint>
#include <string>
#include <vector>
#include "orvex/export.h"

ORVEX_PUBLIC_BEGIN

namespace orvex {

// Component errors of the exchange (raised as MErrors::NSError(number), non-severe).
inline constexpr int32_t kErrExchangeFileInvalid = 20002;  // not a readable PO or XLIFF file
inline constexpr int32_t kErrExchangeTextUnfit = 20003;    // a text the format cannot carry
// What the tool reports when an import refused entries and so changed nothing.
inline constexpr int32_t kErrImportRefused = 20004;

enum class ExchangeFormat { Po, Xliff12, Xliff20 };

// "po", "xliff12" or "xliff20"; error 5 for anything else.
ExchangeFormat ParseExchangeFormat(const std::string& name);

// Where the table is.
struct TextTableSource {
  enum class Kind { Database, Glossary, SavedRows };
  Kind kind = Kind::Database;
  // The connection string, the glossary's path, or the saved-rows file's path.
  std::string location;
  // The database table (a plain SQL identifier); not used for the other kinds.
  std::string table;

  static TextTableSource Database(std::string connectionString, std::string table);
  static TextTableSource Glossary(std::string path);
  static TextTableSource SavedRows(std::string path);
};

struct ExportOptions {
  std::string language;                    // the target language column, e.g. "Arabic"
  std::string sourceLanguage = "English";  // the language beside it
  ExchangeFormat format = ExchangeFormat::Po;
};

// The file's text, IDs in ascending order. Error 5 for a language that is not a plain name or
// equals the source language; the table's own errors when it cannot be read;
// kErrExchangeTextUnfit for a text that is not UTF-8 or that the format cannot carry (a control
// character in XLIFF 1.2; XLIFF 2.0 writes it as <cp hex=".."/>).
std::string ExportTexts(const TextTableSource& source, const ExportOptions& options);
// The same, written to a file that is replaced atomically.
void ExportTextsToFile(const TextTableSource& source, const ExportOptions& options,
                       const std::string& path);

enum class ImportOutcome {
  Added,          // the table had no text in the language; now it has the file's
  Changed,        // the table's text differed from the file's; now it is the file's
  Unchanged,      // the same text, or the file offers none (untranslated, or fuzzy in PO)
  UnknownId,      // refused: the table has no such ID (or the file's ID is not a number)
  SourceChanged,  // refused: the table's source text is no longer the one the file holds
  Duplicate,      // refused: the file holds the ID more than once (every entry is refused)
};

// "added", "changed", "unchanged", "unknown ID", "source changed", "duplicate".
const char* OutcomeName(ImportOutcome outcome);
bool IsRefusal(ImportOutcome outcome);

struct ImportEntry {
  std::string id;  // as the file writes it
  ImportOutcome outcome;
};

struct ImportReport {
  std::vector<ImportEntry> entries;  // in the file's order
  // True when the table was written: not a dry run, and no refusal or refusals skipped.
  bool applied = false;
  size_t Count(ImportOutcome outcome) const;
  bool HasRefusals() const;
};

struct ImportOptions {
  std::string language;  // the target language column the file is imported into
  ExchangeFormat format = ExchangeFormat::Po;
  bool dryRun = false;       // report only; the table is not touched
  bool skipRefused = false;  // apply the accepted entries even when some are refused
};

// Reads the file's text and applies it as a whole or not at all: a database table in one
// transaction through the record set's write-through, a glossary as a new document replacing
// the old atomically, saved rows with Recordset::Save. By default nothing is applied when any
// entry is refused. The source language is the one the file names (English when it names
// none). kErrExchangeFileInvalid (with the line) for a malformed file or one made for another
// language; error 5 for bad arguments; the table's errors as it raises them.
ImportReport ImportTexts(const TextTableSource& source, const ImportOptions& options,
                         const std::string& fileText);
// The same, reading the file at path (a regular file).
ImportReport ImportTextsFromFile(const TextTableSource& source, const ImportOptions& options,
                                 const std::string& path);

}  // namespace orvex

ORVEX_PUBLIC_END
