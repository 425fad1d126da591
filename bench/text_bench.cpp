// Text drawing speed: 10,000 texts of 10 mixed characters on an A3 page at 300 dpi, and where the time goes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "globals/UnitVal.h"
#include "graphics/GraUnit2.h"
#include "graphics/TextLayout.h"
#include "graphics/UnitGraAtt.h"
#include "platform/Bitmap.h"
#include "platform/CairoCanvas.h"
#include "platform/Fonts.h"

namespace {

constexpr int kWidth = 4961;
constexpr int kHeight = 3508;
constexpr int kTexts = 10000;
constexpr int kCharsPerText = 10;

// A3 landscape in millimetres, fitted to the bitmap.
void set_a3_view()
{
    gDispScale = kWidth / 420.0;
    gDispX1 = 0;
    gDispY1 = 0;
    gDispX2 = 420;
    gDispY2 = kHeight / gDispScale;
    gDispWidth = kWidth;
    gDispHeight = kHeight;
}

struct TextItem {
    double x1, y1, x2, y2;
    std::u16string s;
};

// Half-width and full-width characters mixed, every text different, a quarter of them turned.
const std::vector<TextItem>& texts()
{
    static const std::vector<TextItem> items = [] {
        const std::u16string pool = u"A1図面ab寸法X線部材3mｶﾅ平面立断詳細W9通芯";
        std::vector<TextItem> v;
        v.reserve(kTexts);
        for (int i = 0; i < kTexts; ++i) {
            TextItem t;
            t.x1 = 5 + (i % 100) * 4.1;
            t.y1 = 5 + (i / 100) * 2.8;
            const double a = i % 4 == 0 ? 0.5236 : 0;
            t.x2 = t.x1 + 10 * std::cos(a);
            t.y2 = t.y1 + 10 * std::sin(a);
            for (int k = 0; k < kCharsPerText; ++k)
                t.s.push_back(pool[size_t((i * 7 + k * 3) % int(pool.size()))]);
            v.push_back(std::move(t));
        }
        return v;
    }();
    return items;
}

// A canvas that does nothing: what is left is layout, font selection and matrix work.
class NullCanvas final : public platform::Canvas {
public:
    int width() const override { return kWidth; }
    int height() const override { return kHeight; }
    void begin_scene() override { }
    void end_scene() override { }
    void clear(uint32_t) override { }
    void set_stroke(const platform::StrokeStyle& s) override { stroke_ = s; }
    const platform::StrokeStyle& stroke() const override { return stroke_; }
    void set_fill_color(uint32_t c) override { fill_ = c; }
    uint32_t fill_color() const override { return fill_; }
    void set_fill_bitmap(const platform::Bitmap&) override { }
    void set_fill_gradient(const platform::Gradient&) override { }
    void draw_line(platform::PointF, platform::PointF) override { }
    void draw_line(platform::PointF, platform::PointF, const platform::StrokeStyle&) override { }
    void draw_rect(platform::PointF, platform::PointF, float, float) override { }
    void draw_ellipse(platform::PointF, platform::PointF) override { }
    void draw_arc(platform::PointF, float, float, float, float) override { }
    void draw_path(const platform::PointF*, size_t, bool) override { }
    void fill_polygon(const platform::PointF*, size_t) override { }
    platform::Matrix transform() const override { return m_; }
    void set_transform(const platform::Matrix& m) override { m_ = m; }
    void multiply_transform(const platform::Matrix& m) override { m_ = platform::Matrix::compose(m, m_); }
    void fill_text(std::u16string_view text, const platform::RectF&, const platform::FontSpec&) override
    {
        glyphs += text.size();
    }
    void draw_bitmap(const platform::Bitmap&, const platform::RectF&, const platform::RectF&) override { }

    size_t glyphs = 0;

private:
    platform::StrokeStyle stroke_;
    uint32_t fill_ = 0xFF000000;
    platform::Matrix m_;
};

struct Page {
    platform::Bitmap bitmap;
    std::unique_ptr<platform::CairoCanvas> canvas;
    Page()
    {
        bitmap.resize(kWidth, kHeight);
        canvas = std::make_unique<platform::CairoCanvas>(bitmap);
        canvas->clear(0xFFFFFFFF);
        canvas->set_fill_color(0xFF000000);
    }
};

Page& page()
{
    static Page p;
    return p;
}

void draw_all(TGraph2& g)
{
    for (const TextItem& t : texts())
        benchmark::DoNotOptimize(g.GLAText3(t.x1, t.y1, t.x2, t.y2, 2.5, 2.5, 0.3, 0, u"ＭＳ ゴシック", t.s));
}

void set_rate(benchmark::State& state, double chars_per_iteration)
{
    state.counters["chars/s"] = benchmark::Counter(
        chars_per_iteration * double(state.iterations()), benchmark::Counter::kIsRate);
}

// Everything: layout, font faces, transforms and Cairo glyph rendering.
void BM_TextFullPath(benchmark::State& state)
{
    set_a3_view();
    TGraph2 g(page().canvas.get());
    for (auto _ : state)
        draw_all(g);
    set_rate(state, kTexts * kCharsPerText);
}
BENCHMARK(BM_TextFullPath)->Unit(benchmark::kMillisecond);

// Layout and text-variable checks alone: the canvas does nothing.
void BM_TextLayoutOnly(benchmark::State& state)
{
    set_a3_view();
    NullCanvas c;
    TGraph2 g(&c);
    for (auto _ : state)
        draw_all(g);
    set_rate(state, kTexts * kCharsPerText);
}
BENCHMARK(BM_TextLayoutOnly)->Unit(benchmark::kMillisecond);

// Font lookup per glyph as the canvas does it: a cache hit after the first.
void BM_FontLookup(benchmark::State& state)
{
    platform::FontCache& cache = platform::font_cache();
    for (auto _ : state)
        for (int i = 0; i < kTexts * kCharsPerText; ++i)
            benchmark::DoNotOptimize(cache.face("IPAGothic", false, false).face);
    set_rate(state, kTexts * kCharsPerText);
}
BENCHMARK(BM_FontLookup)->Unit(benchmark::kMillisecond);

// Mapping a drawing's font name, done once per run of text.
void BM_FontNameMapping(benchmark::State& state)
{
    for (auto _ : state)
        for (int i = 0; i < kTexts; ++i)
            benchmark::DoNotOptimize(platform::font_family_for(u"ＭＳ Ｐゴシック"));
    set_rate(state, kTexts * kCharsPerText);
}
BENCHMARK(BM_FontNameMapping)->Unit(benchmark::kMillisecond);

// The first use of a face: fontconfig match and FreeType open (one per family and style per run).
void BM_FontOpenCold(benchmark::State& state)
{
    for (auto _ : state) {
        platform::FontCache cache;
        benchmark::DoNotOptimize(cache.face("IPAMincho", false, false).face);
    }
}
BENCHMARK(BM_FontOpenCold)->Unit(benchmark::kMicrosecond);

// The canvas transform saved, multiplied and restored once per glyph, on Cairo.
void BM_GlyphTransforms(benchmark::State& state)
{
    platform::CairoCanvas& c = *page().canvas;
    const platform::Matrix m = platform::Matrix::compose(
        platform::Matrix::rotation(0.3), platform::Matrix::translation(100, 100));
    for (auto _ : state)
        for (int i = 0; i < kTexts * kCharsPerText; ++i) {
            const platform::Matrix saved = c.transform();
            c.multiply_transform(m);
            c.set_transform(saved);
        }
    set_rate(state, kTexts * kCharsPerText);
}
BENCHMARK(BM_GlyphTransforms)->Unit(benchmark::kMillisecond);

// Glyph rendering alone: fill_text of each character at its place, upright and turned.
void BM_GlyphRendering(benchmark::State& state)
{
    platform::CairoCanvas& c = *page().canvas;
    const platform::FontSpec font { "IPAGothic", 30, false, false };
    const bool turned = state.range(0) != 0;
    for (auto _ : state)
        for (int i = 0; i < kTexts; ++i) {
            const TextItem& t = texts()[size_t(i)];
            const float x = float((i % 100) * 48), y = float((i / 100) * 34);
            for (int k = 0; k < kCharsPerText; ++k) {
                const platform::Matrix saved = c.transform();
                if (turned)
                    c.multiply_transform(
                        platform::Matrix::compose(platform::Matrix::compose(platform::Matrix::translation(-x, -y),
                                                      platform::Matrix::rotation(-0.5236)),
                            platform::Matrix::translation(x, y)));
                c.fill_text(std::u16string_view(t.s).substr(size_t(k), 1),
                    platform::RectF { x + 4.0f * k, y, x + 4.0f * k + 60, y + 60 }, font);
                c.set_transform(saved);
            }
        }
    set_rate(state, kTexts * kCharsPerText);
}
BENCHMARK(BM_GlyphRendering)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
