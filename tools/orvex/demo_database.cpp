// The demo's database on the embedded SQLite default, and the texts read from it.
#include <memory>

#include "demo_data.hpp"
#include "demo_steps.hpp"
#include "orvex/data.hpp"
#include "orvex/text_table3.hpp"

namespace orvex::cli::demo {

namespace {

std::shared_ptr<data::Command> PrepareTextInsert(
    const std::shared_ptr<data::Connection>& connection, const std::string& table) {
  auto insert = std::make_shared<data::Command>();
  insert->ActiveConnection = connection;
  insert->CommandType = data::adCmdText;
  insert->CommandText = "INSERT INTO " + table + " (ID, English, Arabic) VALUES (?, ?, ?)";
  insert->Prepared = true;
  auto& parameters = *insert->Parameters();
  parameters.Append(insert->CreateParameter("ID", data::adInteger, data::adParamInput, 4));
  parameters.Append(insert->CreateParameter("English", data::adVarWChar, data::adParamInput, 255));
  parameters.Append(insert->CreateParameter("Arabic", data::adVarWChar, data::adParamInput, 255));
  return insert;
}

void InsertTexts(const std::shared_ptr<data::Connection>& connection, const std::string& table,
                 const std::vector<MessageRow>& rows) {
  const auto insert = PrepareTextInsert(connection, table);
  for (const MessageRow& row : rows) {
    SafeArray values = SafeArray::Of(
        0, {Variant(static_cast<int32_t>(row.id)), Variant(row.english), Variant(row.arabic)});
    insert->Execute(nullptr, Variant(std::move(values)));
  }
}

}  // namespace

void CreateDatabase(DemoContext& context) {
  auto connection = std::make_shared<data::Connection>();
  connection->Open(context.connection);
  for (const std::string& statement : Schema()) connection->Execute(statement);
  connection->BeginTrans();
  InsertTexts(connection, "Messages", Messages());
  InsertTexts(connection, "LanguageStrings", LanguageStrings());
  connection->CommitTrans();
  connection->Close();
  context.Out() << "database   " << context.File("orvex.db") << ": Messages (" << Messages().size()
                << " texts in English and Arabic), LanguageStrings, ErrorLog, EventLog, "
                   "Transactions\n";
}

void LoadTexts(DemoContext& context) {
  context.english = std::make_shared<CTextTable>();
  context.english->ConnectingString(context.connection);
  context.english->LoadStringsRS("Messages", "English");
  context.arabic = std::make_shared<CTextTable>();
  context.arabic->ConnectingString(context.connection);
  context.arabic->LoadStringsRS("Messages", "Arabic");
  for (int32_t id : {1, 6}) {
    context.Out() << "message " << id << "  English: " << context.english->Text(id) << '\n';
    context.Out() << "message " << id << "  Arabic:  " << context.arabic->Text(id) << '\n';
  }
  // TextE reads LanguageStrings directly, one text of any language, with nothing loaded.
  context.Out() << "LanguageStrings 1  " << context.english->TextE("English", 1) << " / "
                << context.english->TextE("Arabic", 1) << '\n';
}

int32_t SaveMessageRows(DemoContext& context) {
  const std::string path = context.File("messages.rows");
  auto rows = std::make_shared<data::Recordset>();
  rows->CursorLocation(data::adUseClient);
  rows->Open(Variant("SELECT ID, English, Arabic FROM Messages"), Variant(context.connection),
             data::adOpenStatic, data::adLockReadOnly, data::adCmdText);
  rows->SetActiveConnection(nullptr);
  rows->Save(path);
  auto table = std::make_shared<CTextTable3>();
  table->ConnectingString(path);
  table->LoadStringsRS("", "Arabic");
  context.Out() << "saved rows " << path << ": " << rows->RecordCount()
                << " rows; message 8 read back through CTextTable3: " << table->Text(8) << '\n';
  return rows->RecordCount();
}

}  // namespace orvex::cli::demo
