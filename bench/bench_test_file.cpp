// Saving and loading tests of 20, 2,000 and 20,000 questions of 400 letters, against reading
// and writing the same bytes plainly, and the peak heap of a load against the file size,
// reported through ratio_reporter.h.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <unistd.h>

#include <QApplication>
#include <QTemporaryDir>

#include "bench/ratio_reporter.h"
#include "core/test_file.h"
#include "core/test_file_codec.h"

// Every heap block of the process is counted, Qt's too, so the peak of a load is known to the
// byte. glibc's own entry points do the work.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);
}

namespace {

std::atomic<long long> g_heap{0};
std::atomic<long long> g_peak{0};

void Counted(void* p) {
  if (!p) return;
  const long long now = g_heap += static_cast<long long>(malloc_usable_size(p));
  long long peak = g_peak.load();
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
}

void Uncounted(void* p) {
  if (p) g_heap -= static_cast<long long>(malloc_usable_size(p));
}

}  // namespace

extern "C" {
void* malloc(std::size_t n) {
  void* p = __libc_malloc(n);
  Counted(p);
  return p;
}
void* calloc(std::size_t n, std::size_t size) {
  void* p = __libc_calloc(n, size);
  Counted(p);
  return p;
}
void* realloc(void* old, std::size_t n) {
  const long long before = old ? static_cast<long long>(malloc_usable_size(old)) : 0;
  void* p = __libc_realloc(old, n);
  if (p || n == 0) g_heap -= before;
  Counted(p);
  return p;
}
void* memalign(std::size_t alignment, std::size_t n) {
  void* p = __libc_memalign(alignment, n);
  Counted(p);
  return p;
}
void* aligned_alloc(std::size_t alignment, std::size_t n) { return memalign(alignment, n); }
int posix_memalign(void** out, std::size_t alignment, std::size_t n) {
  *out = memalign(alignment, n);
  return *out || n == 0 ? 0 : 12;  // ENOMEM
}
void free(void* p) {
  Uncounted(p);
  __libc_free(p);
}
}

namespace {

// A test of count questions of 400 letters, its file's bytes, and where both are written.
struct TSized {
  explicit TSized(int count) {
    for (int i = 0; i < count; ++i) {
      auto q = std::make_unique<core::TQuestion>();
      for (int j = 0; j < 400; ++j)
        q->text.emplace_back(static_cast<unsigned char>('a' + j % 26), j % 3);
      for (char c : std::string("answer")) q->answer.emplace_back(static_cast<unsigned char>(c), 0);
      test.questions.Add(std::move(q));
    }
    test.fileName = (folder.path() + "/bench.tst").toStdString();
    bytes = core::EncodeTestFile(test.questions);
    raw = (folder.path() + "/raw.bin").toStdString();
    WriteRaw(false);
  }
  void WriteRaw(bool sync) const {
    FILE* f = std::fopen(raw.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fflush(f);
    if (sync) fdatasync(fileno(f));
    std::fclose(f);
  }
  QTemporaryDir folder;
  core::TOpenTest test;
  std::vector<uint8_t> bytes;
  std::string raw;
};

TSized& Sized(int64_t count) {
  static std::map<int64_t, std::unique_ptr<TSized>> sized;
  auto& one = sized[count];
  if (!one) one = std::make_unique<TSized>(static_cast<int>(count));
  return *one;
}

void BM_Encode(benchmark::State& state) {
  TSized& sized = Sized(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(core::EncodeTestFile(sized.test.questions));
}

// Save replaces the file only once its bytes are on the disk (QSaveFile syncs the data before
// the rename); the fair plain write syncs too.
void BM_Save(benchmark::State& state) {
  TSized& sized = Sized(state.range(0));
  for (auto _ : state) core::Save(sized.test, nullptr, {});
}

void BM_RawWrite(benchmark::State& state) {
  TSized& sized = Sized(state.range(0));
  for (auto _ : state) sized.WriteRaw(false);
}

void BM_RawWriteSync(benchmark::State& state) {
  TSized& sized = Sized(state.range(0));
  for (auto _ : state) sized.WriteRaw(true);
}

// Both into an empty list: dropping the previous test is no part of reading this one.
void BM_Decode(benchmark::State& state) {
  TSized& sized = Sized(state.range(0));
  core::TList<core::TQuestion> decoded;
  for (auto _ : state) {
    core::DecodeTestFile(sized.bytes, decoded);
    state.PauseTiming();
    decoded.Clear();
    state.ResumeTiming();
  }
}

// The heap of a load into an empty test, at its peak and held afterwards, per byte of the file.
void BM_Load(benchmark::State& state) {
  TSized& sized = Sized(state.range(0));
  core::Save(sized.test, nullptr, {});
  core::TOpenTest loaded;
  loaded.fileName = sized.test.fileName;
  for (auto _ : state) {
    core::Load(loaded, nullptr);
    state.PauseTiming();
    loaded.questions.Clear();
    state.ResumeTiming();
  }
  const long long before = g_heap;
  g_peak = before;
  core::Load(loaded, nullptr);
  const double file = static_cast<double>(sized.bytes.size());
  state.counters["peak_per_file"] = double(g_peak - before) / file;  // goal at most 3
  state.counters["held_per_file"] = double(g_heap - before) / file;
}

void BM_RawRead(benchmark::State& state) {
  TSized& sized = Sized(state.range(0));
  for (auto _ : state) {
    std::ifstream in(sized.raw, std::ios::binary | std::ios::ate);
    std::vector<char> all(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(all.data(), static_cast<std::streamsize>(all.size()));
    benchmark::DoNotOptimize(all.data());
  }
}

constexpr int kSizes[] = {20, 2000, 20000};

void Sizes(benchmark::internal::Benchmark* benchmark) {
  for (int count : kSizes) benchmark->Arg(count);
  benchmark->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Encode)->Apply(Sizes);
BENCHMARK(BM_Save)->Apply(Sizes);
BENCHMARK(BM_RawWrite)->Apply(Sizes);
BENCHMARK(BM_RawWriteSync)->Apply(Sizes);
BENCHMARK(BM_Decode)->Apply(Sizes);
BENCHMARK(BM_Load)->Apply(Sizes);
BENCHMARK(BM_RawRead)->Apply(Sizes);

}  // namespace

// Goals: a load within 3 x the raw read, a save within 2 x the raw write that syncs as it
// does; the save against a write that does not sync, and the load's peak heap against the
// file (counter peak_per_file, at most 3), are printed for comparing.
int main(int argc, char** argv) {
  // Freed memory stays with the process, so every timed run, plain or ours, works on warm
  // pages: otherwise glibc's trimming decides which runs pay the kernel for fresh pages.
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::vector<bench::RatioReporter::Pair> ratios;
  std::map<std::string, double> goals;
  for (int count : kSizes) {
    const std::string size = "/" + std::to_string(count);
    ratios.push_back({"BM_Load" + size, "BM_RawRead" + size});
    ratios.push_back({"BM_Save" + size, "BM_RawWriteSync" + size});
    ratios.push_back({"BM_Encode" + size, "BM_RawWrite" + size});
    goals["BM_Save" + size] = 2;
    goals["BM_Encode" + size] = 0;
  }
  bench::RunComparing(argc, argv, ratios, 3, goals);
  return 0;
}
