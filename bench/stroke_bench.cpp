// Lines per second through GLLineDT (solid and dashed) against the same lines drawn straight onto Cairo.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "globals/UnitVal.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"
#include "platform/Bitmap.h"
#include "platform/CairoCanvas.h"

namespace {

constexpr int line_count = 100'000;
constexpr int bitmap_w = 4961, bitmap_h = 3508; // A4 landscape at 600 dpi
constexpr double paper_w = 297, paper_h = 210;

struct Segment {
    double x1, y1, x2, y2;
};

// One A4 page on a 600 dpi bitmap, a pen of colour 2 and 100,000 lines spread over the page.
struct Scene {
    platform::Bitmap bitmap;
    std::unique_ptr<platform::CairoCanvas> canvas;
    std::unique_ptr<TgraAttribute> att;
    std::unique_ptr<TGraph2> graph;
    std::vector<Segment> lines;

    Scene()
    {
        bitmap.resize(bitmap_w, bitmap_h);
        canvas = std::make_unique<platform::CairoCanvas>(bitmap);
        att = std::make_unique<TgraAttribute>();
        att->SetDisplayMode(true);
        gGraAtt = att.get();
        gDispScale = bitmap_w / paper_w;
        gDispX1 = 0;
        gDispY1 = 0;
        gDispX2 = paper_w;
        gDispY2 = bitmap_h / gDispScale;
        gDispWidth = bitmap_w;
        gDispHeight = bitmap_h;
        graph = std::make_unique<TGraph2>(canvas.get());
        std::mt19937 rng(12345);
        std::uniform_real_distribution<double> x(1, paper_w - 1), y(1, paper_h - 1), d(-30, 30);
        lines.reserve(line_count);
        for (int i = 0; i < line_count; ++i) {
            const double x1 = x(rng), y1 = y(rng);
            lines.push_back({ x1, y1, x1 + d(rng), y1 + d(rng) });
        }
        canvas->begin_scene();
        graph->GCls(0xFFFFFFFF);
        graph->GLPenSet(0, 2, 1, 0.15);
    }
    ~Scene()
    {
        canvas->end_scene();
        graph.reset();
        gGraAtt = nullptr;
    }
};

Scene& scene()
{
    static Scene s;
    return s;
}

// The floor: the same segments, transformed by hand, straight onto the canvas with the same pen.
void BM_CairoFloor(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state) {
        for (const Segment& l : s.lines) {
            double px1, py1, px2, py2;
            s.graph->GLTransPt(l.x1, l.y1, px1, py1);
            s.graph->GLTransPt(l.x2, l.y2, px2, py2);
            s.canvas->draw_line({ float(px1), float(py1) }, { float(px2), float(py2) });
        }
    }
    state.SetItemsProcessed(state.iterations() * line_count);
}

void BM_GLLineDT(benchmark::State& state, int typ)
{
    Scene& s = scene();
    for (auto _ : state) {
        s.graph->GLSetDT();
        for (const Segment& l : s.lines)
            benchmark::DoNotOptimize(s.graph->GLLineDT(0, typ, l.x1, l.y1, l.x2, l.y2));
    }
    state.SetItemsProcessed(state.iterations() * line_count);
}

void BM_GLLineDT_Solid(benchmark::State& state) { BM_GLLineDT(state, 1); }
void BM_GLLineDT_Dashed(benchmark::State& state) { BM_GLLineDT(state, 5); }

BENCHMARK(BM_CairoFloor)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_GLLineDT_Solid)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_GLLineDT_Dashed)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

BENCHMARK_MAIN();
