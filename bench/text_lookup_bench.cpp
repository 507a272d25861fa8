// Text(ID) on a loaded table of 100,000 rows, IDs asked in ascending and in random order,
// beside a hash map find-and-copy.
#include <benchmark/benchmark.h>

#include <unordered_map>

#include "orvex/text_table.hpp"
#include "support.hpp"

namespace orvex::bench {

namespace {

const std::vector<int32_t>& AscendingIds() {
  static const std::vector<int32_t> ids = [] {
    std::vector<int32_t> all(kTableRows);
    for (int32_t i = 0; i < kTableRows; ++i) all[i] = i + 1;
    return all;
  }();
  return ids;
}

const std::vector<int32_t>& IdsOf(const benchmark::State& state) {
  return state.range(0) == 0 ? AscendingIds() : RandomIds();
}

void BM_Text_Ours(benchmark::State& state) {
  CTextTable table;
  table.ConnectingString("Provider=SQLite;Data Source=" + MessagesDatabase());
  table.LoadStringsRS(kMessagesTable, "English");
  const std::vector<int32_t>& ids = IdsOf(state);
  // The first lookup builds the ID index of the loaded rows; it is measured with the loads.
  if (table.Text(ids[0]) != EnglishText(ids[0])) state.SkipWithError("wrong text");
  std::size_t next = 0;
  for (auto _ : state) {
    std::string text = table.Text(ids[next]);
    benchmark::DoNotOptimize(text);
    if (++next == ids.size()) next = 0;
  }
}
BENCHMARK(BM_Text_Ours)->Arg(0)->Arg(1)->ArgName("random");

void BM_Text_Map(benchmark::State& state) {
  std::unordered_map<int32_t, std::string> texts;
  for (int32_t id = 1; id <= kTableRows; ++id) texts.emplace(id, EnglishText(id));
  const std::vector<int32_t>& ids = IdsOf(state);
  std::size_t next = 0;
  for (auto _ : state) {
    auto found = texts.find(ids[next]);
    std::string text = found != texts.end() ? found->second : std::string();
    benchmark::DoNotOptimize(text);
    if (++next == ids.size()) next = 0;
  }
}
BENCHMARK(BM_Text_Map)->Arg(0)->Arg(1)->ArgName("random");


}  // namespace

}  // namespace orvex::bench
