// Export of a table's texts to a translation file.
#include "orvex/text_exchange.hpp"
#include "platform/files/atomic_file.hpp"
#include "textexchange/exchange_errors.hpp"
#include "textexchange/exchange_formats.hpp"
#include "textexchange/table_texts.hpp"
#include "textexchange/utf8_text.hpp"

namespace orvex {

using textexchange::ExchangeDocument;
using textexchange::ExchangeUnit;

TextTableSource TextTableSource::Database(std::string connectionString, std::string table) {
  return {Kind::Database, std::move(connectionString), std::move(table)};
}

TextTableSource TextTableSource::Glossary(std::string path) {
  return {Kind::Glossary, std::move(path), ""};
}

TextTableSource TextTableSource::SavedRows(std::string path) {
  return {Kind::SavedRows, std::move(path), ""};
}

std::string ExportTexts(const TextTableSource& source, const ExportOptions& options) {
  auto table = textexchange::OpenTableTexts(source, options.sourceLanguage, options.language);
  ExchangeDocument document;
  document.sourceLanguage = options.sourceLanguage;
  document.language = options.language;
  for (auto& [id, texts] : table->Read(options.sourceLanguage, options.language)) {
    ExchangeUnit unit;
    unit.id = std::to_string(id);
    if (!textexchange::IsUtf8(texts.source) || !textexchange::IsUtf8(texts.target))
      textexchange::RaiseUnfitText(unit.id, "is not UTF-8");
    unit.source = std::move(texts.source);
    unit.target = std::move(texts.target);
    unit.translated = !unit.target.empty();
    document.units.push_back(std::move(unit));
  }
  document.origin = table->Origin();
  return textexchange::WriteDocument(document, options.format);
}

void ExportTextsToFile(const TextTableSource& source, const ExportOptions& options,
                       const std::string& path) {
  files::WriteFileAtomically(path, ExportTexts(source, options), "ORVEX.TextExchange");
}

}  // namespace orvex
