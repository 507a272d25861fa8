// Loads the sample messages three ways (a SQLite database built from messages.sqlite.sql, the
// XML glossary, and a saved-rows file made from the database rows) and shows an Arabic message.
//   text_tables [DATA_FOLDER]    (default: the data folder beside this source file)
// With a terminal on both ends the message goes through the default message box; otherwise its
// text is printed.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "orvex/text_table.hpp"
#include "orvex/text_table2.hpp"
#include "orvex/text_table3.hpp"

namespace fs = std::filesystem;
using namespace orvex;

namespace {

// The statements of a SQL script, split at the semicolons that end its lines; comment lines are
// dropped. The data layer runs one statement per call.
std::vector<std::string> ScriptStatements(const fs::path& script) {
  std::ifstream in(script);
  if (!in) throw std::runtime_error("cannot read " + script.string());
  std::vector<std::string> statements;
  std::string line, pending;
  while (std::getline(in, line)) {
    if (line.rfind("--", 0) == 0 || line.empty()) continue;
    pending += line + "\n";
    if (line.back() == ';') {
      pending.erase(pending.size() - 2);  // the ";" and the line end
      statements.push_back(pending);
      pending.clear();
    }
  }
  return statements;
}

void BuildDatabase(const std::string& connectionString, const fs::path& script) {
  auto connection = std::make_shared<data::Connection>();
  connection->Open(connectionString);
  for (const std::string& statement : ScriptStatements(script)) connection->Execute(statement);
  connection->Close();
}

// A saved-rows file with every language column, as CTextTable3 edits it.
void SaveRows(const std::string& connectionString, const std::string& file) {
  auto rows = std::make_shared<data::Recordset>();
  rows->Open(Variant("SELECT ID, English, Arabic FROM Messages ORDER BY ID"),
             Variant(connectionString));
  rows->Save(file);
}

bool Interactive() { return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO); }

int Run(const fs::path& dataFolder, const fs::path& workFolder) {
  const std::string database =
      "Provider=SQLite;Data Source=" + (workFolder / "messages.db").string();
  BuildDatabase(database, dataFolder / "messages.sqlite.sql");

  auto table = std::make_shared<CTextTable>();
  table->ConnectingString(database);
  table->LoadStringsRS("Messages");
  std::cout << "database, English 1: " << table->Text(1) << "\n";
  std::cout << "database, LanguageStrings Arabic 1: " << table->TextE("Arabic", 1) << "\n";
  table->LoadStringsRS("Messages", "Arabic");
  std::cout << "database, Arabic 1:  " << table->Text(1) << "\n";

  auto glossary = std::make_shared<CTextTable2>();
  glossary->ConnectingString((dataFolder / "glossary.xml").string());
  glossary->LoadStringsRS("", "Arabic");
  std::cout << "glossary, Arabic 7:  " << glossary->Text(7) << "\n";

  const std::string rowsFile = (workFolder / "messages.rows").string();
  SaveRows(database, rowsFile);
  auto saved = std::make_shared<CTextTable3>();
  saved->ConnectingString(rowsFile);
  saved->LoadStringsRS("", "Arabic");
  std::cout << "saved rows, Arabic 4: " << saved->Text(4) << "\n";

  // Message 5 with the title of message 9 ("Warning"), laid out right to left.
  if (Interactive()) {
    int32_t answer = table->Show(5, 4 /* Yes and No */, Variant(int32_t{9}));
    std::cout << "answer: " << answer << "\n";
  } else {
    std::cout << table->Text(9) << ": " << table->Text(5) << "\n";
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path dataFolder =
      argc > 1 ? fs::path(argv[1]) : fs::path(__FILE__).parent_path() / "data";
  std::string pattern = (fs::temp_directory_path() / "orvex-text-tables.XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::cerr << "cannot create a temporary folder\n";
    return 1;
  }
  const fs::path workFolder = pattern;
  int status = 1;
  try {
    status = Run(dataFolder, workFolder);
  } catch (const AutomationError& error) {
    std::cerr << "error " << error.Number << " (" << error.Source << "): " << error.Description
              << "\n";
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
  }
  std::error_code ignored;
  fs::remove_all(workFolder, ignored);
  return status;
}
