// Hostile drawings at 800 x 600: a text of many glyphs stacked on one spot at several glyph sizes, and
// dashed lines whose clipped ends lie far outside the view.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "globals/UnitVal.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"
#include "platform/Bitmap.h"
#include "platform/CairoCanvas.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

// 800 x 600 pixels showing 800 x 600 drawing units.
struct Scene {
    platform::Bitmap bitmap;
    platform::CairoCanvas* canvas;
    TgraAttribute att;
    TGraph2* graph;
    Scene()
    {
        bitmap.resize(kWidth, kHeight);
        canvas = new platform::CairoCanvas(bitmap);
        att.SetDisplayMode(true);
        gGraAtt = &att;
        gDispScale = 1;
        gDispX1 = gDispY1 = 0;
        gDispX2 = kWidth;
        gDispY2 = kHeight;
        gDispWidth = kWidth;
        gDispHeight = kHeight;
        graph = new TGraph2(canvas);
        canvas->begin_scene();
        graph->GCls(0xFFFFFFFF);
        graph->GLPenSet(0, 2, 1, 0);
    }
    ~Scene()
    {
        canvas->end_scene();
        delete graph;
        delete canvas;
        gGraAtt = nullptr;
    }
};

// A text of 2,000 full-width glyphs of range(0) pixels whose spacing takes back each advance: every glyph
// lands on the same spot in the middle of the view.
void BM_StackedText(benchmark::State& state)
{
    Scene s;
    const double size = double(state.range(0));
    const std::u16string text(2000, u'図');
    for (auto _ : state)
        s.graph->GLAText2(400 - size / 2, 300 - size / 2, 0, size, size, -size, 0, u"ＭＳ ゴシック", text);
    state.counters["glyphs/s"] = benchmark::Counter(double(state.iterations()) * 2000, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StackedText)->Arg(4)->Arg(40)->Arg(400)->Arg(2900)->Unit(benchmark::kMillisecond);

// Dashed lines (line type 44, 12.75 pixels a period) from the view's middle to range(0) units out: ClipLine's
// arithmetic is lost on the far end, and the clipped segment runs far past the view.
void BM_FarClippedDashes(benchmark::State& state)
{
    Scene s;
    const double far = std::pow(10.0, double(state.range(0)));
    for (auto _ : state) {
        s.graph->GLSetDT();
        s.graph->GLLineDT(0, 44, far, far * 2.13e-10, 400, 300);
    }
}
BENCHMARK(BM_FarClippedDashes)->Arg(3)->Arg(20)->Arg(34)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
