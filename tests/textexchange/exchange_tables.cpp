#include "textexchange/exchange_tables.hpp"

#include "orvex/data.hpp"
#include "orvex/text_table.hpp"
#include "orvex/text_table2.hpp"
#include "orvex/text_table3.hpp"

namespace orvex::testing {

namespace {

std::string XmlAttribute(const std::string& text) {
  std::string out;
  for (char c : text) {
    const char* escaped = c == '&'    ? "&amp;"
                          : c == '<'  ? "&lt;"
                          : c == '"'  ? "&quot;"
                          : c == '\n' ? "&#10;"
                          : c == '\r' ? "&#13;"
                          : c == '\t' ? "&#9;"
                                      : nullptr;
    out += escaped != nullptr ? std::string(escaped) : std::string(1, c);
  }
  return out;
}

// The Arabic text of each ID as the reader class reads the table.
template <class Reader>
std::map<int32_t, std::string> ReadArabic(const TextTableSource& table, const TextRows& ids) {
  Reader reader;
  reader.ConnectingString(table.location);
  reader.LoadStringsRS(table.table, "Arabic");
  std::map<int32_t, std::string> texts;
  for (const auto& [id, unused] : ids) texts[id] = reader.Text(id);
  return texts;
}

}  // namespace

std::string SqlText(const std::optional<std::string>& text) {
  if (!text) return "NULL";
  std::string quoted = "'";
  for (char c : *text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'";
}

ExchangeTables::ExchangeTables(const std::string& kind, const TempDir& folder)
    : kind_(kind), folder_(folder) {
  if (kind_ != "glossary")
    database_ = std::make_unique<ScratchDatabase>(kind_ == "rows" ? kSqlite : kind_);
}

TextTableSource ExchangeTables::Make(const std::string& name, const TextRows& rows) {
  if (kind_ == "glossary") {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Glossaries>\n";
    for (const auto& [id, texts] : rows) {
      xml += "  <Glossary ID=\"" + std::to_string(id) + "\" English=\"" +
             XmlAttribute(texts.english) + "\"";
      // CTextTable2 reads only a glossary whose elements all have the language's attribute.
      xml += " Arabic=\"" + XmlAttribute(texts.arabic.value_or("")) + "\"/>\n";
    }
    WriteFile(folder_.File(name + ".xml"), xml + "</Glossaries>\n");
    return TextTableSource::Glossary(folder_.File(name + ".xml"));
  }
  std::string script =
      "BEGIN;CREATE TABLE " + name + " (ID INTEGER PRIMARY KEY, English TEXT, Arabic TEXT);";
  for (const auto& [id, texts] : rows)
    script += "INSERT INTO " + name + " VALUES (" + std::to_string(id) + ", " +
              SqlText(texts.english) + ", " + SqlText(texts.arabic) + ");";
  database_->RunScript(script + "COMMIT;");
  if (kind_ != "rows") return TextTableSource::Database(database_->ConnectionString(), name);
  auto saved = std::make_shared<data::Recordset>();
  saved->Open(Variant("SELECT ID, English, Arabic FROM " + name + " ORDER BY ID"),
              Variant(database_->ConnectionString()));
  saved->Save(folder_.File(name + ".rows"));
  return TextTableSource::SavedRows(folder_.File(name + ".rows"));
}

std::map<int32_t, std::string> ExchangeTables::Arabic(const TextTableSource& table,
                                                      const TextRows& ids) const {
  if (table.kind == TextTableSource::Kind::Database) return ReadArabic<CTextTable>(table, ids);
  if (table.kind == TextTableSource::Kind::Glossary) return ReadArabic<CTextTable2>(table, ids);
  return ReadArabic<CTextTable3>(table, ids);
}

std::string ExchangeTables::Stored(const TextTableSource& table) const {
  if (table.kind != TextTableSource::Kind::Database) return ReadFile(table.location);
  std::string all;
  for (const std::string column : {"ID", "English", "Arabic"}) {
    const std::string value = "coalesce(CAST(" + column + " AS TEXT), '<Null>')";
    all += database_->QueryText(database_->IsPostgres()
                                    ? "SELECT string_agg(" + value + ", '|' ORDER BY ID) FROM " +
                                          table.table
                                    : "SELECT group_concat(v, '|') FROM (SELECT " + value +
                                          " AS v FROM " + table.table + " ORDER BY ID)") +
           "\n";
  }
  return all;
}

}  // namespace orvex::testing
