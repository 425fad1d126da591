// Replaying the display list: the index of calls by the rows they touch, and the calls of one band drawn
// again, with their state, through the Cairo canvas.
#include <algorithm>
#include <new>

#include "platform/CairoCanvas.h"
#include "platform/DisplayList.h"

namespace platform {

namespace {

// Rows of the finest buckets: a band of a few dozen rows looks at little more than what it meets.
constexpr int kBaseRows = 64;

} // namespace

void DisplayList::seal()
{
    if (sealed_)
        return;
    levels_.clear();
    try {
        int levels = 1;
        while ((int64_t(kBaseRows) << (levels - 1)) < height_)
            ++levels;
        levels_.resize(size_t(levels));
        for (int l = 0; l < levels; ++l) {
            levels_[size_t(l)].rows = int(std::min<int64_t>(int64_t(kBaseRows) << l, int64_t(1) << 30));
            levels_[size_t(l)].starts.assign(size_t(height_ / levels_[size_t(l)].rows + 2), 0);
        }
        auto place = [&](const PixelRect& b) {
            int l = 0;
            while (l + 1 < levels && levels_[size_t(l)].rows < b.height())
                ++l;
            return std::pair<int, int>(l, b.y0 / levels_[size_t(l)].rows);
        };
        for (const PixelRect& b : boxes_) {
            const auto [l, k] = place(b);
            ++levels_[size_t(l)].starts[size_t(k) + 1];
        }
        for (Level& lv : levels_) {
            for (size_t k = 1; k < lv.starts.size(); ++k)
                lv.starts[k] += lv.starts[k - 1];
            lv.entries.resize(lv.starts.back());
        }
        std::vector<std::vector<uint32_t>> fill(levels_.size());
        for (size_t l = 0; l < levels_.size(); ++l)
            fill[l].assign(levels_[l].starts.begin(), levels_[l].starts.end() - 1);
        for (size_t e = 0; e < boxes_.size(); ++e) {
            const auto [l, k] = place(boxes_[e]);
            levels_[size_t(l)].entries[fill[size_t(l)][size_t(k)]++] = uint32_t(e);
        }
    } catch (const std::bad_alloc&) {
        // Without the index every band looks at every box: slower, the same pixels.
        levels_.clear();
        return;
    }
    sealed_ = true;
}

void DisplayList::collect(const PixelRect& band, std::vector<uint32_t>& out) const
{
    out.clear();
    if (!sealed_) {
        for (size_t e = 0; e < boxes_.size(); ++e)
            if (boxes_[e].meets(band))
                out.push_back(uint32_t(e));
        return;
    }
    for (const Level& lv : levels_) {
        // A box lies in the bucket of its top row and is at most one bucket tall.
        const int last = int(lv.starts.size()) - 2;
        const int from = std::max(0, band.y0 / lv.rows - 1);
        const int to = std::min(last, (band.y1 - 1) / lv.rows);
        for (int k = from; k <= to; ++k)
            for (uint32_t i = lv.starts[size_t(k)]; i < lv.starts[size_t(k) + 1]; ++i)
                if (boxes_[lv.entries[i]].meets(band))
                    out.push_back(lv.entries[i]);
    }
    std::sort(out.begin(), out.end());
}

void DisplayList::play(Canvas& c, const Item& it) const
{
    switch (it.op) {
    case Op::Clear: c.clear(it.a); break;
    case Op::Line:
        if (it.flags & kOwnStroke)
            c.draw_line(coords_[it.a], coords_[it.a + 1], strokes_[it.b]);
        else
            c.draw_line(coords_[it.a], coords_[it.a + 1]);
        break;
    case Op::Rect: c.draw_rect(coords_[it.a], coords_[it.a + 1], coords_[it.a + 2].X, coords_[it.a + 2].Y); break;
    case Op::Ellipse: c.draw_ellipse(coords_[it.a], coords_[it.a + 1]); break;
    case Op::Arc:
        c.draw_arc(coords_[it.a], coords_[it.a + 1].X, coords_[it.a + 1].Y, coords_[it.a + 2].X, coords_[it.a + 2].Y);
        break;
    case Op::Path: c.draw_path(coords_.data() + it.a, it.b, (it.flags & kClosed) != 0); break;
    case Op::FillPolygon: c.fill_polygon(coords_.data() + it.a, it.b); break;
    case Op::Text: {
        const TextItem& t = texts_[it.a];
        c.fill_text(std::u16string_view(chars_).substr(t.offset, t.length), t.rect, fonts_[t.font]);
        break;
    }
    case Op::Bitmap: {
        const ImageItem& im = images_[it.a];
        c.draw_bitmap(im.pixels, im.src, im.dst);
        break;
    }
    default: break;
    }
}

void DisplayList::replay_all(Canvas& target) const
{
    constexpr uint32_t kNone = ~uint32_t(0);
    for (const Item& it : items_) {
        const State& st = states_[it.state];
        switch (it.op) {
        case Op::BeginScene: target.begin_scene(); break;
        case Op::EndScene: target.end_scene(); break;
        case Op::SetStroke: target.set_stroke(strokes_[st.stroke]); break;
        case Op::SetFillColor: target.set_fill_color(fills_[st.fill].color); break;
        case Op::SetFillBitmap:
            target.set_fill_bitmap(it.a == kNone ? platform::Bitmap() : tiles_[it.a].share());
            break;
        case Op::SetFillGradient:
            if (it.a != kNone)
                target.set_fill_gradient(gradients_[it.a]);
            break;
        case Op::SetTransform: target.set_transform(given(it)); break;
        case Op::MultiplyTransform: target.multiply_transform(given(it)); break;
        default: play(target, it); break;
        }
    }
}

void DisplayList::replay(CairoCanvas& target, const PixelRect& band, std::vector<uint32_t>& scratch) const
{
    collect(band, scratch);
    constexpr uint32_t kUnset = ~uint32_t(0);
    uint32_t stroke = kUnset, fill = kUnset, transform = 0; // a fresh canvas stands at the identity
    std::vector<uint32_t> chain;
    for (uint32_t e : scratch) {
        const Item& it = items_[drawn_[e]];
        const State& st = states_[it.state];
        if (st.transform != transform) {
            // The same Cairo calls as when the transform was made, so the matrix and its inverse match.
            chain.clear();
            uint32_t n = st.transform;
            for (; n != 0 && transforms_[n].multiply; n = transforms_[n].parent)
                chain.push_back(n);
            target.set_transform(n == 0 ? Matrix {} : transforms_[n].given);
            for (auto k = chain.rbegin(); k != chain.rend(); ++k)
                target.multiply_transform(transforms_[*k].given);
            transform = st.transform;
        }
        if (st.stroke != stroke) {
            target.set_stroke(strokes_[st.stroke]);
            stroke = st.stroke;
        }
        if (st.fill != fill && (it.op == Op::FillPolygon || it.op == Op::Text)) {
            const Fill& f = fills_[st.fill];
            target.set_fill_color(f.color);
            if (f.kind == FillKind::Bitmap)
                target.set_fill_bitmap(tiles_[f.ref]);
            else if (f.kind == FillKind::Gradient)
                target.set_fill_gradient(gradients_[f.ref]);
            fill = st.fill;
        }
        play(target, it);
    }
}

} // namespace platform
