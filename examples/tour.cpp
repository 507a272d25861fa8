// A tour of the C++ API. It makes its own SQLite database and tables in the folder it is given
// (./orvex-tour by default), so it runs as it stands on a fresh machine.
#include <filesystem>
#include <iostream>
#include <orvex/orvex.hpp>
using namespace orvex;

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : "orvex-tour";
  std::filesystem::create_directories(folder);
  const std::string db = "Provider=SQLite;Data Source=" + folder + "/app.db";

  // The library reads and writes tables; making them is the application's part.
  auto connection = std::make_shared<data::Connection>();
  connection->Open(db);
  for (const char* statement :
       {"CREATE TABLE IF NOT EXISTS Messages (ID INTEGER PRIMARY KEY, English TEXT, Arabic TEXT)",
        "INSERT OR REPLACE INTO Messages VALUES (1, 'File not found', 'الملف غير موجود')",
        "CREATE TABLE IF NOT EXISTS ErrorLog (lErrorNumber INTEGER, strDescription TEXT, "
        "strSource TEXT, dDate DATETIME)",
        "CREATE TABLE IF NOT EXISTS Transactions (Id INTEGER, Port TEXT, Transactor TEXT)"})
    connection->Execute(statement);
  connection->Close();

  // Texts by ID, one column per language, from a database table.
  auto messages = std::make_shared<CTextTable>();
  messages->ConnectingString(db);
  messages->LoadStringsRS("Messages", "Arabic");  // SELECT ID, Arabic as MultilingualString ...
  std::string text = messages->Text(1);           // "" for an absent ID, never an error
  std::cout << "Text(1) in Arabic: " << text << "\n";
  try {
    messages->Show(1, 64);  // a message box (GTK or the terminal), right to left for Arabic
  } catch (const AutomationError& error) {
    // With no display and no terminal, Show raises kNoInteractiveDesktop (0x800704C7);
    // GMessage::ShowText returns 0 instead, and the loggers' message boxes are skipped.
    std::cout << "no message box: " << error.Description << "\n";
  }

  // Errors to several destinations at once; the result word says which ones failed.
  auto logger = std::make_shared<CLogError>();
  logger->gttMessages = messages;  // texts of non-severe component errors
  logger->glERROR_B = 1000;        // your component-error range: 1001 is text 1
  logger->glERROR_E = 1999;
  logger->gbDateStamp = true;
  logger->pLogFile(folder + "/errors.log");  // UTF-16 text, CR LF, written through
  logger->pConnect(db, "ErrorLog", nullptr);
  logger->pLogXML(folder + "/errors.xml");

  TErrorObject err;
  err.lNumber = MErrors::NSError(1001);  // component error 1001, non-severe
  err.strSource = "Orders";
  int32_t result = logger->LogError("Orders", "Submit", err, ltFILE | ltDB | ltXML);
  if (result & etwelrLOGTODB_FAILED) std::cerr << "database log: " << err.strDescription << "\n";
  logger->SaveXMLLog();  // appends the buffered records

  // Events and business transactions.
  auto events = std::make_shared<CLogEvent>();
  events->pLogFile(folder + "/events.log");
  std::string event = "Nightly export finished";
  events->LogEvent(event, ltFILE);

  auto xactions = std::make_shared<CLogXaction>();
  int16_t sourceCount = 0;
  xactions->pConnect(db, "Transactions", sourceCount);
  SafeArray record = SafeArray::Of(1, {Variant(int32_t{42}), Variant("COM1"), Variant("Ann")});
  xactions->LogXaction(record, ltDB);  // columns discovered from the table

  std::cout << "logged to " << folder << ": result word " << result << "\n";
  const int32_t failed = etwelrLOGTODB_FAILED | etwelrLOGTOFILE_FAILED | etwelrLOGTOXML_FAILED;
  return (result & failed) != 0 ? 1 : 0;
}
