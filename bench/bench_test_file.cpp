// Saving and loading tests of 20, 2,000 and 20,000 questions of 400 letters, against reading
// and writing the same bytes with plain std::fstream, and the peak heap of a load against the
// file size.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include <QApplication>
#include <QTemporaryDir>

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

using Clock = std::chrono::steady_clock;

core::TOpenTest MakeTest(int count) {
  core::TOpenTest test;
  for (int i = 0; i < count; ++i) {
    auto q = std::make_unique<core::TQuestion>();
    for (int j = 0; j < 400; ++j) q->text.emplace_back(static_cast<unsigned char>('a' + j % 26), j % 3);
    for (char c : std::string("answer")) q->answer.emplace_back(static_cast<unsigned char>(c), 0);
    test.questions.Add(std::move(q));
  }
  return test;
}

// The best of repeats runs of f, each after an untimed prepare.
template <class F, class P = void (*)()>
double Seconds(int repeats, F&& f, P&& prepare = [] {}) {
  double best = 1e9;
  for (int r = 0; r < repeats; ++r) {
    prepare();
    auto start = Clock::now();
    f();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  // Freed memory stays with the process, so every timed run, plain or ours, works on warm
  // pages: otherwise glibc's trimming decides which runs pay the kernel for fresh pages.
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  std::printf("%10s %12s %9s %9s %9s %13s %9s %9s %9s %10s %10s\n", "questions", "file bytes", "encode ms",
              "save ms", "save/raw", "save/raw+sync", "decode ms", "load ms", "load/raw", "peak/file", "held/file");
  // Sizes given on the command line replace the usual three.
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {20, 2000, 20000};
  for (int count : counts) {
    core::TOpenTest test = MakeTest(count);
    test.fileName = (dir.path() + "/bench.tst").toStdString();
    const int repeats = count > 2000 ? 5 : 20;
    const double save = Seconds(repeats, [&] { core::Save(test, nullptr, {}); });
    std::vector<uint8_t> bytes;
    const double encode = Seconds(repeats, [&] { bytes = core::EncodeTestFile(test.questions); });
    const std::string raw = (dir.path() + "/raw.bin").toStdString();
    const double rawWrite = Seconds(repeats, [&] {
      std::ofstream out(raw, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    });
    // Save replaces the file only once its bytes are on the disk (QSaveFile syncs the data
    // before the rename); the fair plain write syncs too.
    const double rawWriteSync = Seconds(repeats, [&] {
      FILE* f = std::fopen(raw.c_str(), "wb");
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fflush(f);
      fdatasync(fileno(f));
      std::fclose(f);
    });
    core::TList<core::TQuestion> decoded;
    // Both into an empty list: dropping the previous test is no part of reading this one.
    const double decode = Seconds(repeats, [&] { core::DecodeTestFile(bytes, decoded); },
                                  [&] { decoded.Clear(); });
    core::TOpenTest loaded;
    loaded.fileName = test.fileName;
    const double load = Seconds(repeats, [&] { core::Load(loaded, nullptr); },
                                [&] { loaded.questions.Clear(); });
    const double rawRead = Seconds(repeats, [&] {
      std::ifstream in(raw, std::ios::binary | std::ios::ate);
      std::vector<char> all(static_cast<std::size_t>(in.tellg()));
      in.seekg(0);
      in.read(all.data(), static_cast<std::streamsize>(all.size()));
      benchmark::DoNotOptimize(all.data());
    });
    // The heap of a load into an empty test: at its peak, and held afterwards.
    loaded.questions.Clear();
    const long long before = g_heap;
    g_peak = before;
    core::Load(loaded, nullptr);
    const double file = static_cast<double>(bytes.size());
    std::printf("%10d %12zu %9.2f %9.2f %9.2f %13.2f %9.2f %9.2f %9.2f %10.2f %10.2f\n", count, bytes.size(),
                encode * 1e3, save * 1e3, save / rawWrite, save / rawWriteSync, decode * 1e3, load * 1e3, load / rawRead,
                double(g_peak - before) / file, double(g_heap - before) / file);
    std::fflush(stdout);
  }
  std::printf("goals: load within 3 x the raw read, save within 2 x the raw write, peak at most 3 x the file\n");
  return 0;
}
