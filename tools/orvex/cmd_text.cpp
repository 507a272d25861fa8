// orvex text get|set|add: texts of a multilingual table in a database (CTextTable), an XML
// glossary (CTextTable2, read only) or a saved-rows file (CTextTable3, saved after a change).
#include <functional>
#include <iostream>
#include <memory>
#include <vector>

#include "cli_args.hpp"
#include "cli_output.hpp"
#include "commands.hpp"
#include "database_use.hpp"
#include "json_text.hpp"
#include "orvex/data.hpp"
#include "orvex/modules.hpp"
#include "orvex/text_table.hpp"
#include "orvex/text_table2.hpp"
#include "orvex/text_table3.hpp"
#include "text_exchange_command.hpp"
#include "text_ids.hpp"

namespace orvex::cli {

namespace {

constexpr const char* kTextHelp = R"(usage: orvex text get|set|add SOURCE [--language L] ...

Looks up, changes or adds texts of a multilingual table (an ID and one column per language).

  get ID...       prints the text of each ID in the language: the text alone for one ID,
                  "ID<tab>TEXT" lines for several
  get --all       prints every text of the table as "ID<tab>TEXT" lines (not for a glossary)
  set ID TEXT     changes the text of ID, then reads it back to make sure the change was kept
  add TEXT        adds a row with the text (a database supplies its ID)

SOURCE is one of:
  --db CONNSTR [--table T]   a database table (CTextTable); without --table, the table
                             LanguageStrings is read and written directly (get and set only)
  --glossary FILE            an XML glossary of <Glossary ID=".." English=".." .../> (CTextTable2,
                             get only)
  --rows FILE                a saved-rows file (CTextTable3); set and add save the file

  --language L               the language column (default English)
  --format json              get prints [{"id": N, "text": "..."}, ...] (text null when absent)

The database must exist: get opens it read-only, and set and add never create it. An absent ID
is reported on stderr as error -1879028191 (0x90004E21) with exit status 1, after the texts that
were found; so is a change that the table did not keep, with what was read back.

Example: orvex text get --db "Data Source=app.db" --table Messages --language Arabic 1 2

orvex text export|import moves a language's texts to and from PO and XLIFF files for
translators: 'orvex text export --help' describes them.
)";

const OptionSpec kTextOptions{{"db", "table", "glossary", "rows", "language", "format"}, {"all"}};

struct TextRequest {
  std::string action;
  std::string language;
  const Args& args;
};

using TextOf = std::function<std::string(int32_t)>;
using AllIds = std::function<std::vector<int32_t>()>;

constexpr int32_t kIdAbsent = 20001;       // the tables' number for an absent ID
constexpr int32_t kTableReadOnly = 20000;  // and for an edit of read-only rows

int32_t IdArgument(const Args& args) {
  return ParseNumber("text", "ID", args.PositionalAt(1, "the ID"));
}

AutomationError AbsentId(int32_t id, const std::string& where) {
  return AutomationError(MErrors::NSError(kIdAbsent), "orvex text",
                         "no text with ID " + std::to_string(id) + " in " + where);
}

// The tables raise their own numbers without a description; say what they mean here.
AutomationError Explained(const AutomationError& error, int32_t id, const std::string& where) {
  if (error.Number == MErrors::NSError(kIdAbsent))
    return AutomationError(error.Number, error.Source,
                           "no text with ID " + std::to_string(id) + " in " + where +
                               " to change ('orvex text add' adds a row)");
  if (error.Number == MErrors::NSError(kTableReadOnly))
    return AutomationError(error.Number, error.Source, where + " was opened read-only");
  return error;
}

// Sets the text of the ID given on the command line to the new text given there, saying in a
// failure what the table's own number means; returns the ID.
template <class Table>
int32_t SetText(Table& table, const Args& args, const std::string& where) {
  const int32_t id = IdArgument(args);
  const std::string& newText = args.PositionalAt(2, "the new text");
  try {
    table.Text(id, newText);
  } catch (const AutomationError& error) {
    throw Explained(error, id, where);
  }
  return id;
}

// The tables ignore a failed write by their contract; the tool reads the text back instead.
void RequireKept(const std::string& kept, const std::string& wanted, int32_t id,
                 const std::string& where, const std::string& causes) {
  if (kept == wanted) return;
  throw AutomationError(data::E_FAIL, "orvex text",
                        "the change of ID " + std::to_string(id) + " in " + where +
                            " was not kept (it reads back as \"" + kept + "\"): " + causes);
}

constexpr const char* kDatabaseCauses =
    "is the database file or its folder read-only, or locked by another process?";

bool JsonWanted(const Args& args) {
  const std::string format = args.Get("format", "text");
  if (format != "text" && format != "json")
    throw UsageError("text", "--format is text or json, not '" + format + "'");
  return format == "json";
}

std::vector<int32_t> RequestedIds(const Args& args, const AllIds& all) {
  if (args.Has("all")) {
    args.AllowAtMost(1);
    return all();
  }
  args.PositionalAt(1, "the ID (or --all)");
  std::vector<int32_t> ids;
  for (size_t i = 1; i < args.Positional().size(); ++i)
    ids.push_back(ParseNumber("text", "ID", args.Positional()[i]));
  return ids;
}

// Prints the texts of the IDs asked for. An empty text is what the tables give for an absent ID:
// each is reported with the number the tables raise for one, so that scripts can tell it from
// success (with --all every ID is in the table, and an empty text is printed as it is).
int PrintTexts(const TextRequest& request, const AllIds& all, const TextOf& textOf) {
  const bool json = JsonWanted(request.args);
  const bool everything = request.args.Has("all");
  const std::vector<int32_t> ids = RequestedIds(request.args, all);
  const bool bare = ids.size() == 1 && !everything;
  int status = kExitOk;
  if (json) std::cout << '[';
  for (size_t i = 0; i < ids.size(); ++i) {
    const std::string text = textOf(ids[i]);
    const bool absent = text.empty() && !everything;
    if (absent) {
      PrintError(AbsentId(ids[i], request.language));
      status = kExitError;
    }
    if (json)
      std::cout << (i == 0 ? "\n  " : ",\n  ") << "{\"id\": " << ids[i]
                << ", \"text\": " << (absent ? "null" : JsonString(text)) << '}';
    else if (!absent)
      std::cout << (bare ? "" : std::to_string(ids[i]) + "\t") << text << '\n';
  }
  if (json) std::cout << (ids.empty() ? "]\n" : "\n]\n");
  return status;
}

int DirectText(const TextRequest& request, CTextTable& table, const std::string& db) {
  if (request.action == "get")
    return PrintTexts(
        request,
        [&] { return TableIds(ExistingDatabase(db, DatabaseUse::Read), "LanguageStrings"); },
        [&](int32_t id) { return table.TextE(request.language, id); });
  if (request.action == "add")
    throw UsageError("text", "add needs --table (LanguageStrings is read and written by ID only)");
  const int32_t id = IdArgument(request.args);
  const std::string& newText = request.args.PositionalAt(2, "the new text");
  const std::string where = "LanguageStrings (" + request.language + ")";
  const std::string before = table.TextE(request.language, id);
  table.TextE(request.language, id, newText);
  // TextE quietly does nothing for an absent ID, and a write the database refused is not
  // reported either: read back to tell the caller.
  const std::string after = table.TextE(request.language, id);
  if (after != newText && before.empty() && after.empty()) throw AbsentId(id, where);
  RequireKept(after, newText, id, where, kDatabaseCauses);
  return kExitOk;
}

int DatabaseText(const TextRequest& request) {
  const std::string db = request.args.Require("db");
  const bool reading = request.action == "get";
  auto table = std::make_shared<CTextTable>();
  table->ConnectingString(ExistingDatabase(db, reading ? DatabaseUse::Read : DatabaseUse::Write));
  if (!request.args.Has("table")) return DirectText(request, *table, db);
  const std::string tableName = request.args.Get("table");
  const std::string where = "table " + tableName + " (" + request.language + ")";
  table->LoadStringsRS(tableName, request.language, reading);
  if (request.action == "add") {
    table->AddNew(request.args.PositionalAt(1, "the new text"));
    return kExitOk;
  }
  if (reading)
    return PrintTexts(
        request, [&] { return TableIds(ExistingDatabase(db, DatabaseUse::Read), tableName); },
        [&](int32_t id) { return table->Text(id); });
  const int32_t id = SetText(*table, request.args, where);
  const std::string& newText = request.args.PositionalAt(2, "the new text");
  auto check = std::make_shared<CTextTable>();
  check->ConnectingString(ExistingDatabase(db, DatabaseUse::Read));
  check->LoadStringsRS(tableName, request.language, true);
  RequireKept(check->Text(id), newText, id, where, kDatabaseCauses);
  return kExitOk;
}

int GlossaryText(const TextRequest& request) {
  if (request.action != "get") throw UsageError("text", "a glossary is read only: use get");
  if (request.args.Has("all"))
    throw UsageError("text", "--all reads a database table or a rows file, not a glossary");
  auto table = std::make_shared<CTextTable2>();
  table->ConnectingString(request.args.Require("glossary"));
  table->LoadStringsRS("", request.language);
  return PrintTexts(request, {}, [&](int32_t id) { return table->Text(id); });
}

int RowsText(const TextRequest& request) {
  const std::string file = request.args.Require("rows");
  const std::string where = file + " (" + request.language + ")";
  auto table = std::make_shared<CTextTable3>();
  table->ConnectingString(file);
  table->LoadStringsRS("", request.language, request.action == "get");
  if (request.action == "get")
    return PrintTexts(
        request, [&] { return RowsFileIds(file); }, [&](int32_t id) { return table->Text(id); });
  if (request.action == "add") {
    table->AddNew(request.args.PositionalAt(1, "the new text"));
    table->Save();
    return kExitOk;
  }
  const int32_t id = SetText(*table, request.args, where);
  const std::string& newText = request.args.PositionalAt(2, "the new text");
  table->Save();
  auto check = std::make_shared<CTextTable3>();
  check->ConnectingString(file);
  check->LoadStringsRS("", request.language, true);
  RequireKept(
      check->Text(id), newText, id, where,
      "does the file have a column " + request.language + ", and may its folder be written?");
  return kExitOk;
}

void CheckAction(const TextRequest& request) {
  if (request.action != "get" && request.action != "set" && request.action != "add")
    throw UsageError("text", "unknown action '" + request.action + "' (use get, set or add)");
  if (request.action != "get") request.args.AllowAtMost(request.action == "set" ? 3 : 2);
  if (request.action != "get" && (request.args.Has("all") || request.args.Has("format")))
    throw UsageError("text", "--all and --format are for get");
}

}  // namespace

int RunText(const Argv& argv) {
  if (IsTextExchangeAction(argv)) return RunTextExchange(argv);
  if (PrintedHelp(argv, kTextHelp)) return kExitOk;
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
