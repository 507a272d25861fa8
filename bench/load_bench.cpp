// Loading texts: CTextTable from a SQLite table of 100,000 rows beside a raw select loop, and
// CTextTable2 from a 20 MB glossary document beside libxml2's SAX parser with empty handlers.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <sqlite3.h>

#include <cstring>
#include <filesystem>

#include "orvex/text_table.hpp"
#include "orvex/text_table2.hpp"
#include "support.hpp"

namespace orvex::bench {

namespace {

// Page faults per load, beside the time: the loads' time follows whether their memory is fresh.
void CountFaults(benchmark::State& state, int64_t faultsBefore) {
  state.counters["faults"] = benchmark::Counter(static_cast<double>(PageFaults() - faultsBefore),
                                                benchmark::Counter::kAvgIterations);
}

void BM_LoadStringsRS_Ours(benchmark::State& state) {
  const std::string connection = "Provider=SQLite;Data Source=" + MessagesDatabase();
  const int64_t faultsBefore = PageFaults();
  for (auto _ : state) {
    // A fresh object each time: the cache of loaded languages belongs to the object.
    CTextTable table;
    table.ConnectingString(connection);
    table.LoadStringsRS(kMessagesTable, "English");
  }
  CountFaults(state, faultsBefore);
  state.SetItemsProcessed(state.iterations() * kTableRows);
}
BENCHMARK(BM_LoadStringsRS_Ours)->Unit(benchmark::kMillisecond);

void BM_LoadStringsRS_Raw(benchmark::State& state) {
  sqlite3* db = OpenSqlite(MessagesDatabase());
  const int64_t faultsBefore = PageFaults();
  for (auto _ : state) {
    std::vector<int32_t> ids;
    std::vector<std::string> texts;
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT ID, English as Text FROM Messages", -1, &select, nullptr);
    while (sqlite3_step(select) == SQLITE_ROW) {
      ids.push_back(sqlite3_column_int(select, 0));
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select, 1));
      texts.emplace_back(text, static_cast<std::size_t>(sqlite3_column_bytes(select, 1)));
    }
    sqlite3_finalize(select);
    benchmark::DoNotOptimize(texts.data());
  }
  CountFaults(state, faultsBefore);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kTableRows);
}
BENCHMARK(BM_LoadStringsRS_Raw)->Unit(benchmark::kMillisecond);

int64_t GlossaryBytes() {
  return static_cast<int64_t>(std::filesystem::file_size(GlossaryDocument()));
}

void BM_GlossaryLoad_Ours(benchmark::State& state) {
  const std::string& path = GlossaryDocument();
  const int64_t faultsBefore = PageFaults();
  for (auto _ : state) {
    CTextTable2 table;
    table.ConnectingString(path);
    table.LoadStringsRS("", "English");
    if (table.Text(7) != EnglishText(7)) state.SkipWithError("glossary not loaded");
  }
  CountFaults(state, faultsBefore);
  state.SetBytesProcessed(state.iterations() * GlossaryBytes());
}
BENCHMARK(BM_GlossaryLoad_Ours)->Unit(benchmark::kMillisecond);

void EmptyStartElement(void*, const xmlChar*, const xmlChar*, const xmlChar*, int, const xmlChar**,
                       int, int, const xmlChar**) {}
void EmptyEndElement(void*, const xmlChar*, const xmlChar*, const xmlChar*) {}
void EmptyCharacters(void*, const xmlChar*, int) {}

void BM_GlossaryLoad_LibxmlSax(benchmark::State& state) {
  const std::string& path = GlossaryDocument();
  xmlSAXHandler handler;
  std::memset(&handler, 0, sizeof handler);
  handler.initialized = XML_SAX2_MAGIC;
  handler.startElementNs = EmptyStartElement;
  handler.endElementNs = EmptyEndElement;
  handler.characters = EmptyCharacters;
  const int64_t faultsBefore = PageFaults();
  for (auto _ : state) {
    if (xmlSAXUserParseFile(&handler, nullptr, path.c_str()) != 0)
      state.SkipWithError("libxml2 parse failed");
  }
  CountFaults(state, faultsBefore);
  state.SetBytesProcessed(state.iterations() * GlossaryBytes());
}
BENCHMARK(BM_GlossaryLoad_LibxmlSax)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace orvex::bench
