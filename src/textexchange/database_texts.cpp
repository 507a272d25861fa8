// A database table's texts, read as CTextTable reads them and written through the record set's
// write-through path, as CTextTable's edits are, in one transaction.
#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "textexchange/table_texts.hpp"

namespace orvex::textexchange {

namespace {

// The positions of the columns in the query.
constexpr int32_t kIdPosition = 0;
constexpr int32_t kSourcePosition = 1;
constexpr int32_t kTargetPosition = 2;

// Undoes a failed write: the transaction is rolled back and the rows let go of the connection.
// Never raises, so that the write's own error is the one reported.
void Abandon(const sp<data::Recordset>& rows, const sp<data::Connection>& connection) noexcept {
  try {
    rows->SetActiveConnection(nullptr);
  } catch (...) {
  }
  try {
    connection->RollbackTrans();
  } catch (...) {
  }
  try {
    connection->Close();
  } catch (...) {
  }
}

class DatabaseTexts : public TableTexts {
 public:
  DatabaseTexts(std::string connectionString, std::string table)
      : connectionString_(std::move(connectionString)), table_(std::move(table)) {}

  TableTextMap Read(const std::string& sourceLanguage, const std::string& language) override {
    auto connection = Connect();
    rows_ = std::make_shared<data::Recordset>();
    rows_->CursorLocation(data::adUseClient);
    rows_->SetActiveConnection(connection);
    rows_->LockType(data::adLockBatchOptimistic);
    // The names were checked to be plain names: they name two columns and a table.
    rows_->Open(Variant("SELECT ID, " + sourceLanguage + ", " + language + " FROM " + table_),
                Variant::Missing(), data::adOpenStatic, data::adLockUnspecified, data::adCmdText);
    rows_->SetActiveConnection(nullptr);
    connection->Close();
    TableTextMap texts;
    const auto& fields = rows_->Fields();
    for (; !rows_->EOF_(); rows_->MoveNext()) {
      const Variant id = fields->Item(kIdPosition)->Value();
      if (id.IsNull() || id.IsEmpty()) continue;
      if (auto parsed = ParseId(CStr(id)))
        texts.try_emplace(*parsed, TableText{TextOfValue(fields->Item(kSourcePosition)->Value()),
                                             TextOfValue(fields->Item(kTargetPosition)->Value())});
    }
    return texts;
  }

  void Write(const std::map<int32_t, std::string>& targets) override {
    auto connection = Connect();
    try {
      connection->BeginTrans();
      rows_->SetActiveConnection(connection);
      for (const auto& [id, text] : targets) {
        if (!rows_->FindValueWrapping("ID", Variant(id))) Raise(data::DB_E_ROWNOTFOUND, table_);
        rows_->Fields()->Item(kTargetPosition)->Value(Variant(text));
        rows_->Update();
      }
      connection->CommitTrans();
      rows_->SetActiveConnection(nullptr);
      connection->Close();
    } catch (...) {
      Abandon(rows_, connection);
      throw;
    }
  }

  std::string Origin() const override { return table_; }

 private:
  sp<data::Connection> Connect() const {
    auto connection = std::make_shared<data::Connection>();
    connection->ConnectionString = connectionString_;
    connection->Open("", "", "", -1);
    return connection;
  }

  std::string connectionString_;
  std::string table_;
  sp<data::Recordset> rows_;
};

}  // namespace

std::unique_ptr<TableTexts> OpenDatabaseTexts(const std::string& connectionString,
                                              const std::string& table) {
  return std::make_unique<DatabaseTexts>(connectionString, table);
}

}  // namespace orvex::textexchange
