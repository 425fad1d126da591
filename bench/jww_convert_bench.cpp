// A 100,000-entity JWW drawing at A3 300 dpi: load, layers, extents, bitmap, drawing and PNG encoding,
// timed with the drawing on and off. `--write-drawing FILE` only writes the drawing (for the script).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "formats/jww/JwwUnit.h"
#include "globals/UnitVal.h"
#include "globals/ViewFit.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"
#include "platform/Bitmap.h"
#include "platform/CairoCanvas.h"
#include "platform/Cp932.h"
#include "platform/ImageSave.h"
#include "tests/support/jww_examples.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 4961, kHeight = 3508; // A3 at 300 dpi

fs::path g_dir;
fs::path g_drawing;

bool write_file(const fs::path& p, const std::vector<uint8_t>& b)
{
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    return bool(f);
}

// The steps of one conversion, as the driver runs them; `draw` switches the drawing itself.
void convert(bool draw, benchmark::State& state)
{
    TgraAttribute att;
    detail::start_attributes(att, 0);
    gGraAtt = &att;

    TJwwData doc;
    if (!doc.FileIn(platform::utf8_to_utf16(g_drawing.string()))) {
        state.SkipWithError("the drawing did not load");
        return;
    }
    doc.SetGAttLayer();
    doc.GetMinMaxZahyo();
    double papx, papy;
    doc.GetPaperSize(papx, papy);
    detail::fit_view(-papx / 2, -papy / 2, papx / 2, papy / 2, kWidth, kHeight);

    platform::Bitmap bitmap;
    if (!bitmap.resize(kWidth, kHeight)) {
        state.SkipWithError("no memory for the bitmap");
        return;
    }
    {
        platform::CairoCanvas canvas(bitmap);
        TGraph2 graph(&canvas);
        gGraph2 = &graph;
        canvas.begin_scene();
        graph.GCls(att.GetBackColor());
        graph.GPenSet(0xFF0000FF, 1, 1);
        graph.GLBox(-papx / 2, -papy / 2, papx / 2, papy / 2);
        if (draw)
            doc.GLDrawALL();
        canvas.end_scene();
        gGraph2 = nullptr;
    }
    std::string error;
    if (!platform::save_bitmap(bitmap, g_dir / "out.png", error))
        state.SkipWithError(error.c_str());
    gGraAtt = nullptr;
}

void BM_LoadSizeEncode(benchmark::State& state)
{
    for (auto _ : state)
        convert(false, state);
}

void BM_LoadSizeDrawEncode(benchmark::State& state)
{
    for (auto _ : state)
        convert(true, state);
}

void BM_LoadOnly(benchmark::State& state)
{
    for (auto _ : state) {
        TJwwData doc;
        benchmark::DoNotOptimize(doc.FileIn(platform::utf8_to_utf16(g_drawing.string())));
    }
}

BENCHMARK(BM_LoadOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadSizeEncode)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_LoadSizeDrawEncode)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--write-drawing") == 0)
        return write_file(argv[2], jwwtest::jww_large_drawing()) ? 0 : 1;

    std::string tmpl = (fs::temp_directory_path() / "jww_convert_bench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        return 1;
    g_dir = tmpl;
    g_drawing = g_dir / "large.jww";
    if (!write_file(g_drawing, jwwtest::jww_large_drawing()))
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(g_dir, ec);
    return 0;
}
