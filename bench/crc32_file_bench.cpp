// CRC32File against a zlib-based reader (crc32() fed by 4096-byte reads) on
// the same page-cached file, in one run, with the ratio printed at the end.
// The file is 1 GiB unless CRC32_BENCH_MIB says otherwise.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "crc32_engine.hpp"
#include "drumel/clsFile.hpp"

namespace {

constexpr uint32_t kCastagnoli = 0x82F63B78u;

class BenchFile {
 public:
  explicit BenchFile(int64_t bytes) : bytes_(bytes) {
    std::string pattern = (std::filesystem::temp_directory_path() / "crc32-bench-XXXXXX").string();
    const int file = ::mkstemp(pattern.data());
    if (file < 0) throw std::runtime_error("cannot create " + pattern);
    path_ = pattern;
    std::vector<char> block(1 << 20);
    std::mt19937_64 random(42);
    for (int64_t left = bytes; left > 0; left -= static_cast<int64_t>(block.size())) {
      for (char& byte : block) byte = static_cast<char>(random());
      const auto length = static_cast<std::size_t>(std::min<int64_t>(left, static_cast<int64_t>(block.size())));
      if (::write(file, block.data(), length) != static_cast<ssize_t>(length)) throw std::runtime_error("write");
    }
    // On the device, so no write-back runs during the measurements; the
    // pages stay cached.
    ::fsync(file);
    ::close(file);
  }
  ~BenchFile() { std::filesystem::remove(path_); }
  const std::string& path() const { return path_; }
  int64_t bytes() const { return bytes_; }

 private:
  int64_t bytes_;
  std::string path_;
};

const BenchFile& bench_file() {
  static const BenchFile file([] {
    const char* mebibytes = std::getenv("CRC32_BENCH_MIB");
    return int64_t{mebibytes != nullptr ? std::atoi(mebibytes) : 1024} << 20;
  }());
  return file;
}

uint32_t zlib_reader(const std::string& path) {
  const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  unsigned char buffer[4096];
  uLong crc = crc32(0, nullptr, 0);
  for (ssize_t got; (got = ::read(file, buffer, sizeof buffer)) > 0;) crc = crc32(crc, buffer, static_cast<uInt>(got));
  ::close(file);
  return static_cast<uint32_t>(crc);
}

// CRC32File's reader with the slicing-by-8 method: the floor for any polynomial.
uint32_t slicing_reader(const std::string& path, const drumel::Crc32Engine& engine) {
  const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  std::vector<uint8_t> buffer(256 * 1024);
  uint32_t crc_register = 0xFFFFFFFFu;
  for (ssize_t got; (got = ::read(file, buffer.data(), buffer.size())) > 0;)
    crc_register = engine.update(crc_register, {buffer.data(), static_cast<std::size_t>(got)});
  ::close(file);
  return ~crc_register;
}

void set_throughput(benchmark::State& state) { state.SetBytesProcessed(state.iterations() * bench_file().bytes()); }

void BM_ZlibReader4096(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(zlib_reader(bench_file().path()));
  set_throughput(state);
}

void BM_CRC32File(benchmark::State& state) {
  auto file = drumel::clsFile::create();
  automation::Bstr path = automation::Bstr::from_utf8(bench_file().path());
  if (file->CRC32File(path) != static_cast<int32_t>(zlib_reader(bench_file().path())))
    state.SkipWithError("CRC32File disagrees with zlib");
  for (auto _ : state) benchmark::DoNotOptimize(file->CRC32File(path));
  set_throughput(state);
}

void BM_CRC32FileOtherPolynomial(benchmark::State& state) {
  auto file = drumel::clsFile::create();
  file->CRCInit(static_cast<int32_t>(kCastagnoli));
  automation::Bstr path = automation::Bstr::from_utf8(bench_file().path());
  for (auto _ : state) benchmark::DoNotOptimize(file->CRC32File(path));
  set_throughput(state);
}

void BM_SlicingBy8Reader(benchmark::State& state) {
  const drumel::Crc32Engine engine(kCastagnoli, drumel::Crc32Method::kSlicingBy8);
  for (auto _ : state) benchmark::DoNotOptimize(slicing_reader(bench_file().path(), engine));
  set_throughput(state);
}

// Each method on a cached 256 KiB block, without the reads.
void BM_InMemory(benchmark::State& state) {
  const auto method = static_cast<drumel::Crc32Method>(state.range(0));
  if (!drumel::Crc32Engine::supported(method)) {
    state.SkipWithError("not supported by this processor");
    return;
  }
  const drumel::Crc32Engine engine(0xEDB88320u, method);
  std::vector<uint8_t> block(256 * 1024, 0x5A);
  for (auto _ : state) benchmark::DoNotOptimize(engine.update(0xFFFFFFFFu, block));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(block.size()));
}

BENCHMARK(BM_ZlibReader4096)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CRC32File)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CRC32FileOtherPolynomial)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SlicingBy8Reader)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_InMemory)
    ->ArgName("method")
    ->DenseRange(static_cast<int>(drumel::Crc32Method::kByteTable), static_cast<int>(drumel::Crc32Method::kFolding512))
    ->Unit(benchmark::kMicrosecond);

// Prints the throughput ratios the targets are stated in, from the medians
// when repetitions were asked for.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      if ((single || run.aggregate_name == "median") && !run.error_occurred)
        seconds_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    ratio("CRC32File / zlib reader", "BM_ZlibReader4096", "BM_CRC32File");
    ratio("CRC32File other polynomial / slicing-by-8 reader", "BM_SlicingBy8Reader", "BM_CRC32FileOtherPolynomial");
  }

 private:
  void ratio(const char* label, const std::string& reference, const std::string& measured) {
    if (seconds_.count(reference) == 0 || seconds_.count(measured) == 0) return;
    GetOutputStream() << label << ": " << seconds_[reference] / seconds_[measured] << "x\n";
  }
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  zlib_reader(bench_file().path());  // into the page cache
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}
