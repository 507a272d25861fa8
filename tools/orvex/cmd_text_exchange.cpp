// orvex text export|import: the texts of one language of a table of any kind, beside a source
// language, as a PO or XLIFF file for translators, and the translated file back into the table.
#include <iostream>

#include "cli_args.hpp"
#include "cli_output.hpp"
#include "orvex/modules.hpp"
#include "orvex/text_exchange.hpp"
#include "text_exchange_command.hpp"

namespace orvex::cli {

namespace {

constexpr const char* kExchangeHelp =
    R"(usage: orvex text export SOURCE --language L [--source-language English]
                         --format po|xliff12|xliff20 [--out FILE]
       orvex text import SOURCE --language L --format po|xliff12|xliff20
                         [--dry-run] [--skip-refused] FILE

export writes the texts of language L, each beside its text in the source language, as a gettext
PO file (msgctxt the ID, msgid the source text, msgstr the translation, empty when untranslated)
or an XLIFF 1.2 or 2.0 document (unit id, source, target, state), to standard output or to FILE
(replaced atomically).

import reads such a file back and prints one line per entry, "ID: outcome", where the outcome is
added (the table had no text in L), changed, unchanged (the same text, or none offered: an empty
or fuzzy translation), or a refusal: unknown ID, source changed (the source text is no longer the
one exported) or duplicate (the file holds the ID twice). A refused entry leaves the whole table
unchanged and the exit status 1, unless --skip-refused is given, which applies the rest.
--dry-run reports and changes nothing. The source language is the one named in the file.

SOURCE is one of:
  --db CONNSTR --table T   a database table (written through, in one transaction)
  --glossary FILE          an XML glossary (replaced atomically by the new document)
  --rows FILE              a saved-rows file (saved)

Example: orvex text export --db "Data Source=app.db" --table Messages --language Arabic \
           --format po --out messages-ar.po
)";

const OptionSpec kExchangeOptions{
    {"db", "table", "glossary", "rows", "language", "source-language", "format", "out"},
    {"dry-run", "skip-refused"}};

TextTableSource SourceOf(const Args& args) {
  if (args.Has("db")) return TextTableSource::Database(args.Require("db"), args.Require("table"));
  if (args.Has("glossary")) return TextTableSource::Glossary(args.Require("glossary"));
  if (args.Has("rows")) return TextTableSource::SavedRows(args.Require("rows"));
  throw UsageError("text", "one of --db, --glossary or --rows is required");
}

// A format the tool does not know is a mistake in the call, not a failed export.
ExchangeFormat FormatOf(const Args& args) {
  const std::string name = args.Require("format");
  if (name != "po" && name != "xliff12" && name != "xliff20")
    throw UsageError("text", "unknown format '" + name + "' (use po, xliff12 or xliff20)");
  return ParseExchangeFormat(name);
}

int Export(const Args& args) {
  args.AllowAtMost(1);
  ExportOptions options;
  options.language = args.Require("language");
  options.sourceLanguage = args.Get("source-language", "English");
  options.format = FormatOf(args);
  const TextTableSource source = SourceOf(args);
  if (args.Has("out")) {
    ExportTextsToFile(source, options, args.Require("out"));
  } else {
    std::cout << ExportTexts(source, options);
  }
  return kExitOk;
}

const char* Conclusion(const ImportReport& report) {
  if (!report.applied) return "nothing was written";
  const bool changes =
      report.Count(ImportOutcome::Added) + report.Count(ImportOutcome::Changed) > 0;
  return changes ? "the table is written" : "nothing to write";
}

void PrintReport(const ImportReport& report) {
  size_t refused = 0;
  for (const ImportEntry& entry : report.entries) {
    std::cout << entry.id << ": " << OutcomeName(entry.outcome) << '\n';
    refused += IsRefusal(entry.outcome) ? 1 : 0;
  }
  std::cout << report.Count(ImportOutcome::Added) << " added, "
            << report.Count(ImportOutcome::Changed) << " changed, "
            << report.Count(ImportOutcome::Unchanged) << " unchanged, " << refused << " refused; "
            << Conclusion(report) << '\n';
}

int Import(const Args& args) {
  args.AllowAtMost(2);
  ImportOptions options;
  options.language = args.Require("language");
  options.format = FormatOf(args);
  options.dryRun = args.Has("dry-run");
  options.skipRefused = args.Has("skip-refused");
  const std::string& file = args.PositionalAt(1, "the file to import");
  const ImportReport report = ImportTextsFromFile(SourceOf(args), options, file);
  PrintReport(report);
  if (report.HasRefusals() && !options.skipRefused) {
    PrintError(AutomationError(MErrors::NSError(kErrImportRefused), "orvex text",
                               "entries were refused, so nothing was imported (--skip-refused "
                               "imports the others)"));
    return kExitError;
  }
  return kExitOk;
}

}  // namespace

bool IsTextExchangeAction(const Argv& argv) {
  return !argv.empty() && (argv[0] == "export" || argv[0] == "import");
}

int RunTextExchange(const Argv& argv) {
  if (PrintedHelp(argv, kExchangeHelp)) return kExitOk;
  const Args args("text", argv, kExchangeOptions);
  return args.Positional().at(0) == "export" ? Export(args) : Import(args);
}

}  // namespace orvex::cli
