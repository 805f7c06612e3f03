// Saving and loading tests of 20, 2,000 and 20,000 questions of 400 letters, against reading
// and writing the same bytes with plain std::fstream, and the memory a loaded test takes
// against its file size.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include <QApplication>
#include <QTemporaryDir>

#include "core/test_file.h"
#include "core/test_file_codec.h"

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

template <class F>
double Seconds(int repeats, F&& f) {
  double best = 1e9;
  for (int r = 0; r < repeats; ++r) {
    auto start = Clock::now();
    f();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  std::printf("%10s %12s %9s %9s %9s %13s %9s %9s %12s\n", "questions", "file bytes", "encode ms",
              "save ms", "save/raw", "save/raw+sync", "load ms", "load/raw", "memory/file");
  for (int count : {20, 2000, 20000}) {
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
    // Save replaces the file only once its bytes are on the disk; the fair plain write syncs too.
    const double rawWriteSync = Seconds(repeats, [&] {
      FILE* f = std::fopen(raw.c_str(), "wb");
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fflush(f);
      fsync(fileno(f));
      std::fclose(f);
    });
    core::TOpenTest loaded;
    loaded.fileName = test.fileName;
    const double load = Seconds(repeats, [&] { core::Load(loaded, nullptr); });
    const double rawRead = Seconds(repeats, [&] {
      std::ifstream in(raw, std::ios::binary);
      std::vector<char> all((std::istreambuf_iterator<char>(in)), {});
      benchmark::DoNotOptimize(all.data());
    });
    // The heap a freshly loaded test holds.
    loaded.questions.Clear();
    const std::size_t before = mallinfo2().uordblks;
    core::Load(loaded, nullptr);
    const std::size_t after = mallinfo2().uordblks;
    std::printf("%10d %12zu %9.2f %9.2f %9.2f %13.2f %9.2f %9.2f %12.2f\n", count, bytes.size(),
                encode * 1e3, save * 1e3, save / rawWrite, save / rawWriteSync, load * 1e3, load / rawRead,
                double(after - before) / double(bytes.size()));
  }
  std::printf("goals: load within 3 x the raw read, save within 2 x the raw write, memory at most 3 x the file\n");
  return 0;
}
