// orvex text get|set|add: texts of a multilingual table in a database (CTextTable), an XML
// glossary (CTextTable2, read only) or a saved-rows file (CTextTable3, saved after a change).
#include <iostream>
#include <memory>

#include "cli_args.hpp"
#include "cli_output.hpp"
#include "commands.hpp"
#include "orvex/modules.hpp"
#include "orvex/text_table.hpp"
#include "orvex/text_table2.hpp"
#include "orvex/text_table3.hpp"
#include "text_exchange_command.hpp"

namespace orvex::cli {

namespace {

constexpr const char* kTextHelp = R"(usage: orvex text get|set|add SOURCE [--language L] ID [TEXT]

Looks up, changes or adds one text of a multilingual table (an ID and one column per language).

  get ID          prints the text of ID in the language
  set ID TEXT     changes the text of ID
  add TEXT        adds a row with the text (a database supplies its ID)

SOURCE is one of:
  --db CONNSTR [--table T]   a database table (CTextTable); without --table, the table
                             LanguageStrings is read and written directly (get and set only)
  --glossary FILE            an XML glossary of <Glossary ID=".." English=".." .../> (CTextTable2,
                             get only)
  --rows FILE                a saved-rows file (CTextTable3); set and add save the file

  --language L               the language column (default English)

Example: orvex text get --db "Data Source=app.db" --table Messages --language Arabic 1

orvex text export|import moves a language's texts to and from PO and XLIFF files for
translators: 'orvex text export --help' describes them.
)";

const OptionSpec kTextOptions{{"db", "table", "glossary", "rows", "language"}, {}};

struct TextRequest {
  std::string action;
  std::string language;
  const Args& args;
};

int32_t IdArgument(const Args& args) {
  return ParseNumber("text", "ID", args.PositionalAt(1, "the ID"));
}

// An empty text is what the tables give for an absent ID: say so, with the number the tables
// raise for an absent ID, so that scripts can tell it from success.
int PrintText(const std::string& text, int32_t id, const std::string& language) {
  if (text.empty()) {
    PrintError(AutomationError(MErrors::NSError(20001), "orvex text",
                               "no text with ID " + std::to_string(id) + " in " + language));
    return kExitError;
  }
  std::cout << text << '\n';
  return kExitOk;
}

int DirectText(const TextRequest& request, CTextTable& table) {
  const int32_t id = IdArgument(request.args);
  if (request.action == "get")
    return PrintText(table.TextE(request.language, id), id, request.language);
  if (request.action == "add")
    throw UsageError("text", "add needs --table (LanguageStrings is read and written by ID only)");
  const std::string& newText = request.args.PositionalAt(2, "the new text");
  table.TextE(request.language, id, newText);
  // TextE quietly does nothing for an absent ID: read back to tell the caller.
  if (table.TextE(request.language, id) != newText) return PrintText("", id, request.language);
  return kExitOk;
}

int DatabaseText(const TextRequest& request) {
  auto table = std::make_shared<CTextTable>();
  table->ConnectingString(request.args.Require("db"));
  if (!request.args.Has("table")) return DirectText(request, *table);
  const bool readOnly = request.action == "get";
  table->LoadStringsRS(request.args.Get("table"), request.language, readOnly);
  if (request.action == "add") {
    table->AddNew(request.args.PositionalAt(1, "the new text"));
    return kExitOk;
  }
  const int32_t id = IdArgument(request.args);
  if (request.action == "get") return PrintText(table->Text(id), id, request.language);
  table->Text(id, request.args.PositionalAt(2, "the new text"));
  return kExitOk;
}

int GlossaryText(const TextRequest& request) {
  if (request.action != "get") throw UsageError("text", "a glossary is read only: use get");
  auto table = std::make_shared<CTextTable2>();
  table->ConnectingString(request.args.Require("glossary"));
  table->LoadStringsRS("", request.language);
  const int32_t id = IdArgument(request.args);
  return PrintText(table->Text(id), id, request.language);
}

int RowsText(const TextRequest& request) {
  auto table = std::make_shared<CTextTable3>();
  table->ConnectingString(request.args.Require("rows"));
  table->LoadStringsRS("", request.language, request.action == "get");
  if (request.action == "add") {
    table->AddNew(request.args.PositionalAt(1, "the new text"));
  } else {
    const int32_t id = IdArgument(request.args);
    if (request.action == "get") return PrintText(table->Text(id), id, request.language);
    table->Text(id, request.args.PositionalAt(2, "the new text"));
  }
  table->Save();
  return kExitOk;
}

void CheckAction(const TextRequest& request) {
  if (request.action != "get" && request.action != "set" && request.action != "add")
    throw UsageError("text", "unknown action '" + request.action + "' (use get, set or add)");
  const size_t expected = request.action == "get" ? 2 : (request.action == "set" ? 3 : 2);
  request.args.AllowAtMost(expected);
}

}  // namespace

int RunText(const Argv& argv) {
  if (IsTextExchangeAction(argv)) return RunTextExchange(argv);
  if (WantsHelp(argv)) {
    std::cout << kTextHelp;
    return kExitOk;
  }
  const Args args("text", argv, kTextOptions);
  const TextRequest request{args.PositionalAt(0, "the action (get, set or add)"),
                            args.Get("language", "English"), args};
  CheckAction(request);
  if (args.Has("db")) return DatabaseText(request);
  if (args.Has("glossary")) return GlossaryText(request);
  if (args.Has("rows")) return RowsText(request);
  throw UsageError("text", "one of --db, --glossary or --rows is required");
}

}  // namespace orvex::cli
