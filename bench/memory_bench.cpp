// Memory held by a CTextTable with 100,000 rows loaded in two languages, beside the bytes of
// its texts. Measured as the growth of the heap in use (mallinfo2) around the two loads.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include "orvex/text_table.hpp"
#include "support.hpp"

namespace orvex::bench {

namespace {

size_t HeapInUse() { return mallinfo2().uordblks; }

int64_t TextBytes() {
  int64_t bytes = 0;
  for (int32_t id = 1; id <= kTableRows; ++id)
    bytes += static_cast<int64_t>(EnglishText(id).size() + ArabicText(id).size());
  return bytes;
}

void BM_TableMemory(benchmark::State& state) {
  const std::string connection = "Provider=SQLite;Data Source=" + MessagesDatabase();
  {
    // A first load fills the pooled session and its page cache, which stay with the pool and
    // are not the table's.
    CTextTable warmUp;
    warmUp.ConnectingString(connection);
    warmUp.LoadStringsRS(kMessagesTable, "English");
    warmUp.LoadStringsRS(kMessagesTable, "Arabic");
  }
  double held = 0;
  for (auto _ : state) {
    malloc_trim(0);
    size_t before = HeapInUse();
    auto table = std::make_shared<CTextTable>();
    table->ConnectingString(connection);
    table->LoadStringsRS(kMessagesTable, "English");
    table->LoadStringsRS(kMessagesTable, "Arabic");
    held = static_cast<double>(HeapInUse()) - static_cast<double>(before);
    benchmark::DoNotOptimize(table);
  }
  const double texts = static_cast<double>(TextBytes());
  state.counters["heap_bytes"] = held;
  state.counters["text_bytes"] = texts;
  state.counters["ratio"] = held / texts;
}
BENCHMARK(BM_TableMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace orvex::bench
