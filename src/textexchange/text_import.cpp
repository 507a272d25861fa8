// Import of a translation file into the table it was exported from.
#include <map>

#include "orvex/text_exchange.hpp"
#include "platform/files/whole_file.hpp"
#include "textexchange/exchange_errors.hpp"
#include "textexchange/exchange_formats.hpp"
#include "textexchange/table_texts.hpp"

namespace orvex {

namespace {

constexpr const char* kDefaultSourceLanguage = "English";

ImportOutcome Classify(const textexchange::ExchangeUnit& unit,
                       const textexchange::TableTextMap& texts,
                       const std::map<std::string, int>& occurrences) {
  if (occurrences.at(unit.id) > 1) return ImportOutcome::Duplicate;
  const auto id = textexchange::ParseId(unit.id);
  const auto row = id ? texts.find(*id) : texts.end();
  if (row == texts.end()) return ImportOutcome::UnknownId;
  if (row->second.source != unit.source) return ImportOutcome::SourceChanged;
  if (!unit.translated || row->second.target == unit.target) return ImportOutcome::Unchanged;
  return row->second.target.empty() ? ImportOutcome::Added : ImportOutcome::Changed;
}

}  // namespace

const char* OutcomeName(ImportOutcome outcome) {
  switch (outcome) {
    case ImportOutcome::Added:
      return "added";
    case ImportOutcome::Changed:
      return "changed";
    case ImportOutcome::Unchanged:
      return "unchanged";
    case ImportOutcome::UnknownId:
      return "unknown ID";
    case ImportOutcome::SourceChanged:
      return "source changed";
    case ImportOutcome::Duplicate:
      return "duplicate";
  }
  return "";
}

bool IsRefusal(ImportOutcome outcome) {
  return outcome == ImportOutcome::UnknownId || outcome == ImportOutcome::SourceChanged ||
         outcome == ImportOutcome::Duplicate;
}

size_t ImportReport::Count(ImportOutcome outcome) const {
  size_t count = 0;
  for (const ImportEntry& entry : entries) count += entry.outcome == outcome ? 1 : 0;
  return count;
}

bool ImportReport::HasRefusals() const {
  for (const ImportEntry& entry : entries)
    if (IsRefusal(entry.outcome)) return true;
  return false;
}

ImportReport ImportTexts(const TextTableSource& source, const ImportOptions& options,
                         const std::string& fileText) {
  textexchange::ExchangeDocument document = textexchange::ReadDocument(fileText, options.format);
  if (!document.language.empty() && document.language != options.language)
    textexchange::RaiseInvalidFile(
        "translation", 0,
        "it holds " + document.language + " texts, not " + options.language + " texts");
  const std::string sourceLanguage =
      document.sourceLanguage.empty() ? kDefaultSourceLanguage : document.sourceLanguage;
  auto table = textexchange::OpenTableTexts(source, sourceLanguage, options.language);
  const textexchange::TableTextMap texts = table->Read(sourceLanguage, options.language);

  std::map<std::string, int> occurrences;
  for (const auto& unit : document.units) ++occurrences[unit.id];
  ImportReport report;
  std::map<int32_t, std::string> targets;
  for (auto& unit : document.units) {
    const ImportOutcome outcome = Classify(unit, texts, occurrences);
    report.entries.push_back({unit.id, outcome});
    if (outcome == ImportOutcome::Added || outcome == ImportOutcome::Changed)
      targets.emplace(*textexchange::ParseId(unit.id), std::move(unit.target));
  }
  if (options.dryRun || (report.HasRefusals() && !options.skipRefused)) return report;
  if (!targets.empty()) table->Write(targets);
  report.applied = true;
  return report;
}

ImportReport ImportTextsFromFile(const TextTableSource& source, const ImportOptions& options,
                                 const std::string& path) {
  return ImportTexts(source, options, files::ReadWholeFile(path, "ORVEX.TextExchange"));
}

}  // namespace orvex
