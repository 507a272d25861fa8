#include "text_ids.hpp"

#include <cctype>
#include <memory>

#include "cli_args.hpp"
#include "orvex/data.hpp"

namespace orvex::cli {

namespace {

bool IsPlainIdentifier(const std::string& name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0])) != 0) return false;
  for (const char c : name)
    if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '_') return false;
  return true;
}

std::vector<int32_t> IdsOf(data::Recordset& rows) {
  std::vector<int32_t> ids;
  if (rows.BOF() && rows.EOF_()) return ids;
  const sp<data::Field> id = rows.Fields()->Item("ID");
  for (rows.MoveFirst(); !rows.EOF_(); rows.MoveNext()) {
    const Variant value = id->Value();
    if (!value.IsNull() && !value.IsEmpty()) ids.push_back(CLng(value));
  }
  return ids;
}

}  // namespace

std::vector<int32_t> TableIds(const std::string& connectionString, const std::string& table) {
  if (!IsPlainIdentifier(table))
    throw UsageError("text",
                     "--all needs a table name of letters, digits and '_', not '" + table + "'");
  auto rows = std::make_shared<data::Recordset>();
  rows->Open(Variant("SELECT ID FROM " + table + " ORDER BY ID"), Variant(connectionString));
  return IdsOf(*rows);
}

std::vector<int32_t> RowsFileIds(const std::string& rowsFile) {
  auto rows = std::make_shared<data::Recordset>();
  rows->Open(Variant(rowsFile), Variant::Missing(), -1, -1, data::adCmdFile);
  return IdsOf(*rows);
}

}  // namespace orvex::cli
