// SaveXMLLog of 100 new records into XML logs of 1,000 / 10,000 / 100,000 records, beside
// copying the file with the same durability (written, flushed to disk and renamed over); and the
// growth of a save's cost with the log: 100 records into logs of 1,000 and 1,000,000 records.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "orvex/log_error.hpp"
#include "support.hpp"

namespace orvex::bench {

namespace {

constexpr int32_t kNewRecords = 100;

void LogRecords(CLogError& logger, int64_t count) {
  for (int64_t i = 0; i < count; ++i) {
    TErrorObject error;
    error.lNumber = 5;
    error.strDescription = "Invalid procedure call or argument " + std::to_string(i);
    error.strSource = "BenchClient";
    logger.LogError("BenchModule", "BenchProcedure", error, ltXML);
  }
}

// SaveXMLLog, or the benchmark skipped with the error.
bool Saved(CLogError& logger, benchmark::State& state) {
  try {
    logger.SaveXMLLog();
    return true;
  } catch (const AutomationError& error) {
    state.SkipWithError(("save failed: " + error.Description).c_str());
    return false;
  }
}

// A log file holding `records` records, written by the logger itself.
void MakeLog(const std::string& path, int64_t records) {
  CLogError logger;
  logger.pLogXML(path);
  LogRecords(logger, records);
  logger.SaveXMLLog();
}

void BM_SaveXMLLog_Ours(benchmark::State& state) {
  TempFolder folder;
  const std::string pristine = folder.File("pristine.xml");
  const std::string path = folder.File("errors.xml");
  MakeLog(pristine, state.range(0));
  CLogError logger;
  logger.pLogXML(path);
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::copy_file(pristine, path, std::filesystem::copy_options::overwrite_existing);
    LogRecords(logger, kNewRecords);
    state.ResumeTiming();
    if (!Saved(logger, state)) break;
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(pristine));
}
BENCHMARK(BM_SaveXMLLog_Ours)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->ArgName("records")
    ->Unit(benchmark::kMillisecond);

void BM_SaveXMLLog_Copy(benchmark::State& state) {
  TempFolder folder;
  const std::string pristine = folder.File("pristine.xml");
  const std::string temporary = folder.File("errors.xml.tmp");
  const std::string path = folder.File("errors.xml");
  MakeLog(pristine, state.range(0));
  for (auto _ : state) {
    std::filesystem::copy_file(pristine, temporary,
                               std::filesystem::copy_options::overwrite_existing);
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CLOEXEC);
    ::fsync(fd);
    ::close(fd);
    std::rename(temporary.c_str(), path.c_str());
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(pristine));
}
BENCHMARK(BM_SaveXMLLog_Copy)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->ArgName("records")
    ->Unit(benchmark::kMillisecond);

// A service that logs and saves over and over: the file is made once, the logger's first save
// (which checks the whole file) happens before the timing, and each timed save adds 100 records
// to a log that has grown by them. The cost must not grow with the file.
void BM_SaveXMLLog_Growth(benchmark::State& state) {
  TempFolder folder;
  const std::string path = folder.File("errors.xml");
  MakeLog(path, state.range(0));
  CLogError logger;
  logger.pLogXML(path);
  LogRecords(logger, kNewRecords);
  logger.SaveXMLLog();
  for (auto _ : state) {
    state.PauseTiming();
    LogRecords(logger, kNewRecords);
    state.ResumeTiming();
    if (!Saved(logger, state)) break;
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_SaveXMLLog_Growth)
    ->Arg(1000)
    ->Arg(1000000)
    ->ArgName("records")
    ->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace orvex::bench
