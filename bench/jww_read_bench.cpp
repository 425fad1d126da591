// Reading speed and peak heap of ".jww" loads: a million lines, a million texts.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <new>

#include "formats/jww/JwwUnit.h"
#include "platform/Cp932.h"
#include "tests/support/jww_writer.h"

namespace {

std::atomic<size_t> g_live { 0 };
std::atomic<size_t> g_peak { 0 };

void note_alloc(void* p)
{
    if (!p)
        return;
    size_t now = g_live += malloc_usable_size(p);
    size_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) { }
}

} // namespace

__attribute__((noinline)) void* operator new(size_t n)
{
    void* p = std::malloc(n ? n : 1);
    if (!p)
        throw std::bad_alloc();
    note_alloc(p);
    return p;
}
__attribute__((noinline)) void operator delete(void* p) noexcept
{
    if (p)
        g_live -= malloc_usable_size(p);
    std::free(p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace {

constexpr int kEntities = 1000000;

// A drawing file made once per kind and removed at exit.
class BenchFile {
public:
    explicit BenchFile(const char* name, void (*fill)(jwwtest::JwwWriter&))
    {
        path_ = std::filesystem::temp_directory_path() / (std::string("jww_read_bench_") + name + ".jww");
        jwwtest::JwwWriter w(700);
        fill(w);
        w.save(path_.string());
    }
    ~BenchFile()
    {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    std::u16string path() const { return platform::utf8_to_utf16(path_.string()); }
    size_t bytes() const { return size_t(std::filesystem::file_size(path_)); }

private:
    std::filesystem::path path_;
};

void fill_lines(jwwtest::JwwWriter& w)
{
    for (int i = 0; i < kEntities; ++i)
        w.add(jwwtest::line(i, 0, i + 10.5, 20.25, jwwtest::attr(1 + i % 8, 1 + i % 9, i % 16, i % 16)));
}

void fill_texts(jwwtest::JwwWriter& w)
{
    for (int i = 0; i < kEntities; ++i)
        w.add(jwwtest::text(i, 0, i + 30, 0, 3, 3), u"ＭＳ ゴシック", u"室名 " + std::u16string(1, u'A' + i % 26));
}

// The records as kept, a text counted with its two strings.
size_t record_bytes(const TJwwData& jw)
{
    return jw.EntLine.size() * sizeof(TEntJwwLine)
        + jw.EntMoji.size() * (sizeof(TEntJwwMoji) + 2 * sizeof(std::u16string)) + jw.EntNo.size() * sizeof(TEntJwwNo);
}

void run(benchmark::State& state, const BenchFile& file)
{
    TJwwData jw;
    size_t peak = 0;
    for (auto _ : state) {
        jw.DataFree();
        size_t base = g_live.load();
        g_peak = base;
        bool ok = jw.FileIn(file.path());
        peak = g_peak.load() - base;
        if (!ok)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(jw.EntNo.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kEntities);
    state.counters["file_MB"] = double(file.bytes()) / 1e6;
    state.counters["records_MB"] = double(record_bytes(jw)) / 1e6;
    // Large files are read into a mapping of their own, outside the heap: add it to the peak.
    double peak_all = double(peak) + double(file.bytes());
    state.counters["peak_MB"] = peak_all / 1e6;
    state.counters["peak_over_records"] = peak_all / double(record_bytes(jw));
}

void BM_ReadMillionLines(benchmark::State& state)
{
    static BenchFile file("lines", fill_lines);
    run(state, file);
}
BENCHMARK(BM_ReadMillionLines)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReadMillionTexts(benchmark::State& state)
{
    static BenchFile file("texts", fill_texts);
    run(state, file);
}
BENCHMARK(BM_ReadMillionTexts)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
