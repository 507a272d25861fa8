#include "rows_csv.hpp"

#include <filesystem>
#include <memory>
#include <set>

#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"

namespace orvex::cli {

namespace {

constexpr const char* kSource = "orvex rows";

std::string CsvValue(const Variant& value) {
  const Locale invariant = Locale::EnglishUS();
  if (value.IsNull() || value.IsEmpty()) return "";
  if (value.VarType() == vbDate) {
    const Date date = value.DateValue();
    return FormatDate(date, date.HasTime() ? "yyyy-mm-dd hh:nn:ss" : "yyyy-mm-dd", invariant);
  }
  return CStr(value, invariant);
}

CsvRecord HeaderOf(const data::Fields& fields) {
  CsvRecord header;
  for (int32_t i = 0; i < fields.Count(); ++i) header.push_back(fields.Item(i)->Name());
  return header;
}

CsvRecord RowOf(const data::Fields& fields) {
  CsvRecord row;
  for (int32_t i = 0; i < fields.Count(); ++i) row.push_back(CsvValue(fields.Item(i)->Value()));
  return row;
}

// A folder of its own for the scratch database that turns CSV into rows, removed at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvex-rows.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      Raise(errPathNotFound, kSource, "cannot create a temporary folder");
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

std::string QuotedName(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

void CheckHeader(const CsvRecord& header) {
  std::set<std::string> seen;
  for (const std::string& name : header) {
    if (name.empty())
      Raise(errInvalidProcedureCall, kSource, "the CSV header has an empty column name");
    if (!seen.insert(name).second)
      Raise(errInvalidProcedureCall, kSource, "the CSV header names column '" + name + "' twice");
  }
}

std::string CreateTableSql(const CsvRecord& header) {
  std::string sql = "CREATE TABLE csv_rows (";
  for (size_t i = 0; i < header.size(); ++i)
    sql += (i == 0 ? "" : ", ") + QuotedName(header[i]) + " TEXT";
  return sql + ")";
}

std::string InsertSql(const CsvRecord& header) {
  std::string sql = "INSERT INTO csv_rows VALUES (";
  for (size_t i = 0; i < header.size(); ++i) sql += i == 0 ? "?" : ", ?";
  return sql + ")";
}

std::shared_ptr<data::Command> PrepareInsert(const std::shared_ptr<data::Connection>& connection,
                                             const CsvRecord& header) {
  auto insert = std::make_shared<data::Command>();
  insert->ActiveConnection = connection;
  insert->CommandType = data::adCmdText;
  insert->CommandText = InsertSql(header);
  insert->Prepared = true;
  for (size_t i = 0; i < header.size(); ++i)
    insert->Parameters()->Append(insert->CreateParameter("p" + std::to_string(i + 1),
                                                         data::adLongVarWChar, data::adParamInput,
                                                         1073741823, Variant("")));
  return insert;
}

bool IsBlank(const CsvRecord& record) { return record.size() == 1 && record[0].empty(); }

int32_t InsertRecords(data::Command& insert, const std::vector<CsvRecord>& records) {
  const size_t columns = records[0].size();
  int32_t count = 0;
  for (size_t line = 1; line < records.size(); ++line) {
    if (IsBlank(records[line])) continue;
    if (records[line].size() != columns)
      Raise(errInvalidProcedureCall, kSource,
            "CSV record " + std::to_string(line + 1) + " has " +
                std::to_string(records[line].size()) + " fields, the header " +
                std::to_string(columns));
    for (size_t i = 0; i < columns; ++i)
      insert.Parameters()->Item(static_cast<int32_t>(i))->Value = Variant(records[line][i]);
    insert.Execute();
    ++count;
  }
  return count;
}

}  // namespace

int32_t SaveQueryRows(const std::string& connectionString, const std::string& query,
                      const std::string& rowsFile) {
  auto rows = std::make_shared<data::Recordset>();
  rows->CursorLocation(data::adUseClient);
  rows->Open(Variant(query), Variant(connectionString), data::adOpenStatic, data::adLockReadOnly,
             data::adCmdText);
  rows->SetActiveConnection(nullptr);
  rows->Save(rowsFile);
  return rows->RecordCount();
}

int32_t WriteRowsAsCsv(const std::string& rowsFile, std::ostream& out) {
  auto rows = std::make_shared<data::Recordset>();
  rows->Open(Variant(rowsFile), Variant::Missing(), -1, -1, data::adCmdFile);
  const auto fields = rows->Fields();
  out << CsvLine(HeaderOf(*fields));
  int32_t count = 0;
  if (rows->RecordCount() > 0) rows->MoveFirst();
  for (; !rows->EOF_(); rows->MoveNext(), ++count) out << CsvLine(RowOf(*fields));
  return count;
}

int32_t SaveCsvAsRows(const std::vector<CsvRecord>& records, const std::string& rowsFile) {
  if (records.empty()) Raise(errInvalidProcedureCall, kSource, "the CSV has no header line");
  CheckHeader(records[0]);
  ScratchFolder scratch;
  auto connection = std::make_shared<data::Connection>();
  connection->Open("Provider=SQLite;Data Source=" + scratch.File("import.db"));
  connection->Execute(CreateTableSql(records[0]));
  connection->BeginTrans();
  const int32_t count = InsertRecords(*PrepareInsert(connection, records[0]), records);
  connection->CommitTrans();
  auto rows = std::make_shared<data::Recordset>();
  rows->CursorLocation(data::adUseClient);
  rows->Open(Variant("SELECT * FROM csv_rows"), Variant(connection), data::adOpenStatic,
             data::adLockReadOnly, data::adCmdText);
  rows->SetActiveConnection(nullptr);
  rows->Save(rowsFile);
  connection->Close();
  return count;
}

}  // namespace orvex::cli
