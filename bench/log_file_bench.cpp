// The text log: LogError with ltFILE writes each record through to the operating system before
// it returns. Beside it, spdlog's file sink flushing every message and a bare write(2) of the
// same bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/spdlog.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "orvex/log_error.hpp"
#include "support.hpp"

namespace orvex::bench {

namespace {

TErrorObject SampleError() {
  TErrorObject error;
  error.lNumber = 5;
  error.strDescription = "Invalid procedure call or argument";
  error.strSource = "BenchClient";
  return error;
}

// The bytes that one LogError call appends to the text log, read back from a probe file.
std::string RecordBytes() {
  static const std::string bytes = [] {
    TempFolder folder;
    std::string path = folder.File("probe.log");
    {
      CLogError logger;
      logger.pLogFile(path);
      TErrorObject error = SampleError();
      logger.LogError("BenchModule", "BenchProcedure", error, ltFILE);
    }
    std::ifstream in(path, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return all.substr(2);  // after the byte-order mark
  }();
  return bytes;
}

void BM_LogErrorFile_Ours(benchmark::State& state) {
  TempFolder folder;
  CLogError logger;
  logger.pLogFile(folder.File("errors.log"));
  // One error object for every call: LogError changes it only when a destination fails, which
  // ends the run, so no copy of it (which the baselines would not make) is timed.
  TErrorObject error = SampleError();
  for (auto _ : state) {
    int32_t result = logger.LogError("BenchModule", "BenchProcedure", error, ltFILE);
    if ((result & etwelrLOGTOFILE_FAILED) != 0) {
      state.SkipWithError(("text log failed: " + error.strDescription).c_str());
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(RecordBytes().size()));
}
BENCHMARK(BM_LogErrorFile_Ours);

void BM_LogErrorFile_Spdlog(benchmark::State& state) {
  TempFolder folder;
  auto sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(folder.File("spdlog.log"));
  spdlog::logger logger("bench", sink);
  logger.set_formatter(std::make_unique<spdlog::pattern_formatter>(
      "%v", spdlog::pattern_time_type::local, std::string()));
  logger.flush_on(spdlog::level::trace);
  const std::string bytes = RecordBytes();
  for (auto _ : state) logger.error("{}", bytes);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_LogErrorFile_Spdlog);

void BM_LogErrorFile_BareWrite(benchmark::State& state) {
  TempFolder folder;
  int fd = ::open(folder.File("bare.log").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  const std::string bytes = RecordBytes();
  for (auto _ : state) {
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      state.SkipWithError("write failed");
      break;
    }
  }
  ::close(fd);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_LogErrorFile_BareWrite);

}  // namespace

}  // namespace orvex::bench
