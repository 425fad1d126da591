// Output size, view fit, the bitmap, and the loaded document drawn through its renderer.
#include "app/Unit1.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "app/DocumentType.h"
#include "globals/UnitVal.h"
#include "globals/ViewFit.h"
#include "graphics/GraUnit.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"
#include "platform/Cp932.h"
#include "util/Func_2.h"

namespace {

constexpr int kDpi[] = { 36, 72, 100, 120, 144, 160, 200, 240, 300, 360, 400, 480, 600, 720, 800, 960, 1000, 1200 };

struct Rect {
    double x1, y1, x2, y2;
};

// The rectangle in drawing units that the view is fitted to.
Rect fit_rect(FitRule fit, double papx, double papy)
{
    switch (fit) {
    case FitRule::PaperAtOrigin: return { 0, 0, papx, papy };
    case FitRule::PaperCentred: return { -papx / 2, -papy / 2, papx / 2, papy / 2 };
    case FitRule::Extents: break;
    }
    return { gMinX, gMinY, gMaxX, gMaxY };
}

} // namespace

void TForm1::output_size(int tp, double& sx, double& sy)
{
    const detail::RunSettings& s = settings_;
    if (s.size == detail::SizeRule::Settings) {
        GetDotSize(tp, sx, sy);
        return;
    }
    if (s.size == detail::SizeRule::Dpi) {
        sx = std::max(10.0, detail::round_half_even(papx / 25.4 * s.dpi));
        sy = std::max(10.0, detail::round_half_even(papy / 25.4 * s.dpi));
        return;
    }
    const DocumentType* type = document_type(tp);
    double dx = 0;
    double dy = 0;
    const Rect r = fit_rect(type ? type->fit : FitRule::Extents, papx, papy);
    detail::fit_span(r.x1, r.y1, r.x2, r.y2, dx, dy);
    auto from_width = [&](double w) {
        sx = w;
        sy = std::max(1.0, detail::round_half_even(w * dy / dx));
    };
    auto from_height = [&](double h) {
        sy = h;
        sx = std::max(1.0, detail::round_half_even(h * dx / dy));
    };
    switch (s.size) {
    case detail::SizeRule::Pixels:
        sx = s.width;
        sy = s.height;
        return;
    case detail::SizeRule::Width: from_width(s.width); return;
    case detail::SizeRule::Height: from_height(s.height); return;
    case detail::SizeRule::Within:
        if (s.width / dx <= s.height / dy)
            from_width(s.width);
        else
            from_height(s.height);
        return;
    default: return;
    }
}

void TForm1::keep_paper_shape(int tp, double& sx, double& sy) const
{
    const DocumentType* type = document_type(tp);
    if (!type || type->fit == FitRule::Extents || !(papx > 0) || !(papy > 0))
        return;
    const double k = std::min(sx / papx, sy / papy);
    const double w = std::max(10.0, detail::round_half_even(papx * k));
    const double h = std::max(10.0, detail::round_half_even(papy * k));
    // A size made from the paper already has its shape, but for rounding.
    if (std::fabs(w - sx) > 1 || std::fabs(h - sy) > 1)
        sx = w, sy = h;
}

platform::VectorPage TForm1::vector_page(int tp, const std::u16string& src) const
{
    platform::VectorPage page;
    const DocumentType* type = document_type(tp);
    if (type && type->fit != FitRule::Extents && std::isfinite(papx) && std::isfinite(papy)) {
        page.width_pt = papx / 25.4 * 72;
        page.height_pt = papy / 25.4 * 72;
    }
    page.title = platform::utf16_to_utf8(gDrawTitle.empty() ? ExtractName(src) : gDrawTitle);
    return page;
}

uint32_t TForm1::backdrop(uint32_t drawing_background) const
{
    return settings_.own_backdrop() ? 0x00000000 : drawing_background;
}

void TForm1::GetDotSize(int tp, double& sx, double& sy)
{
    sx = std::max(10.0, detail::round_half_even(StrToFloatZero(ed2)));
    sy = std::max(10.0, detail::round_half_even(StrToFloatZero(ed3)));
    const DocumentType* type = document_type(tp);
    if ((type && type->fit == FitRule::Extents) || cb3 == 0)
        return;
    const int dpi = (cb3 >= 1 && cb3 <= 18) ? kDpi[cb3 - 1] : 300;
    sx = std::max(10.0, detail::round_half_even(papx / 25.4 * dpi));
    sy = std::max(10.0, detail::round_half_even(papy / 25.4 * dpi));
}

void TForm1::dispSub(int t, double x, double y)
{
    const DocumentType* type = document_type(t);
    const Rect r = fit_rect(type ? type->fit : FitRule::Extents, papx, papy);
    detail::fit_view(r.x1, r.y1, r.x2, r.y2, x, y);
    dispDraw(t);
}

bool TForm1::size_bitmap()
{
    const double w = detail::round_half_even(gDispWidth);
    const double h = detail::round_half_even(gDispHeight);
    // Checked as doubles first: a paper of 100 m at 1200 dpi must not reach an integer conversion.
    if (!(w >= 1 && h >= 1 && w <= INT_MAX && h <= INT_MAX)) {
        Image1.reset(0, 0);
        bitmap_ok_ = false;
        return false;
    }
    Image1.reset(int(w), int(h));
    if (settings_.own_backdrop())
        Image1.fill(backdrop(0xFFFFFFFF));
    return true;
}

void TForm1::free_renderers()
{
    delete gGraph;
    gGraph = nullptr;
    delete gGraph2;
    gGraph2 = nullptr;
}

void TForm1::bind_jw_renderer()
{
    delete gGraph2;
    gGraph2 = new TGraph2(&Image1);
    Image1.begin_scene();
    gGraph2->GCls(backdrop(gGraAtt->GetBackColor()));
}

void TForm1::dispDraw(int JWtype)
{
    // The renderers point at the canvas being started again; they must not outlive what it was.
    free_renderers();
    const DocumentType* type = document_type(JWtype);
    if (!type || !size_bitmap())
        return;
    if (!type->has_content(*this))
        return;
    const Rect frame = fit_rect(type->fit, papx, papy);
    if (type->m7) {
        gGraph = new TGraph(&Image1);
        Image1.begin_scene();
        gGraph->GCls(backdrop(0xFFFFFFFF));
        gGraph->GPenSet(0xFF0000FF, 1, 1);
        gGraph->GLBox(frame.x1, frame.y1, frame.x2, frame.y2);
    } else {
        bind_jw_renderer();
        if (type->fit != FitRule::Extents) {
            gGraph2->GPenSet(0xFF0000FF, 1, 1);
            gGraph2->GLBox(frame.x1, frame.y1, frame.x2, frame.y2);
        }
    }
    type->draw_all(*this);
    Image1.end_scene();
}
