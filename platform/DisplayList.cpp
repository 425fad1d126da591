// Recording into the display list: compact calls, shared state, pixel boxes, and the calls read back.
#include "platform/DisplayList.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "platform/Fonts.h"

namespace platform {

namespace {

constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
// Cairo's default miter limit: a mitre join reaches at most this many half widths from its vertex.
constexpr double kMiterReach = 10;
// Antialiasing and the fixed-point grid reach a pixel beyond the geometry; two keep a box safe.
constexpr double kEdgePx = 2;
// Glyph images are placed on whole pixels and cover the ink's pixels: a little more than edges need.
constexpr double kGlyphPx = 4;

bool same(const StrokeStyle& a, const StrokeStyle& b)
{
    return a.Color == b.Color && a.Thickness == b.Thickness && a.Dash == b.Dash;
}

bool same(const FontSpec& a, const FontSpec& b)
{
    return a.SizePx == b.SizePx && a.Bold == b.Bold && a.Italic == b.Italic && a.Family == b.Family;
}

// Half the stroke width Cairo draws with: CairoCanvas draws a width that is not a positive number as 0.
double half_width(const StrokeStyle& s)
{
    return s.Thickness > 0 && std::isfinite(s.Thickness) ? s.Thickness / 2.0 : 0.0;
}

std::vector<uint32_t> pixels_of(const Bitmap& b)
{
    std::vector<uint32_t> px;
    if (b.empty())
        return px;
    px.reserve(size_t(b.width()) * size_t(b.height()));
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            px.push_back(b.pixel(x, y));
    return px;
}

size_t mix(std::initializer_list<uint64_t> v)
{
    uint64_t h = 1469598103934665603ull;
    for (uint64_t x : v)
        h = (h ^ x) * 1099511628211ull;
    return size_t(h ^ (h >> 29));
}

uint32_t bits(float f)
{
    uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

constexpr size_t kRecent = 64;

} // namespace

// The index of an entry equal to `v`: one of the recent ones, else a new one. Throws bad_alloc.
template <class T, class Same>
uint32_t DisplayList::intern(
    std::vector<T>& table, std::vector<uint32_t>& recent, size_t hash, const T& v, const Same& same)
{
    if (recent.empty())
        recent.assign(kRecent, kNone);
    uint32_t& slot = recent[hash % kRecent];
    if (slot != kNone && same(table[slot], v))
        return slot;
    table.push_back(v);
    slot = uint32_t(table.size() - 1);
    return slot;
}

DisplayList::DisplayList(int width, int height, size_t max_bytes)
    : width_(0)
    , height_(0)
    , max_bytes_(max_bytes)
{
    reset(width, height);
}

DisplayList::~DisplayList() = default;

void DisplayList::reset(int width, int height)
{
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    complete_ = true;
    sealed_ = false;
    start_ = 0xFFFFFFFF;
    std::vector<Item>().swap(items_);
    std::vector<uint32_t>().swap(drawn_);
    std::vector<PixelRect>().swap(boxes_);
    std::vector<PointF>().swap(coords_);
    std::vector<StrokeStyle>(1).swap(strokes_);
    std::vector<Fill>(1).swap(fills_);
    std::vector<TransformStep>(1).swap(transforms_);
    std::vector<Matrix>().swap(givens_);
    matrix_ = Matrix {};
    recent_transforms_.clear();
    std::vector<platform::Bitmap>().swap(tiles_);
    std::vector<Gradient>().swap(gradients_);
    stop_bytes_ = 0;
    std::vector<FontSpec>().swap(fonts_);
    std::u16string().swap(chars_);
    std::vector<TextItem>().swap(texts_);
    std::vector<ImageItem>().swap(images_);
    std::vector<Level>().swap(levels_);
    std::vector<Record>().swap(decoded_);
    state_ = State {};
    states_.assign(1, state_);
    current_ = 0;
    recent_strokes_.clear();
    recent_fills_.clear();
    recent_states_.clear();
}

size_t DisplayList::bytes() const
{
    size_t n = items_.capacity() * sizeof(Item) + drawn_.capacity() * sizeof(uint32_t)
        + boxes_.capacity() * sizeof(PixelRect) + coords_.capacity() * sizeof(PointF)
        + states_.capacity() * sizeof(State) + strokes_.capacity() * sizeof(StrokeStyle)
        + fills_.capacity() * sizeof(Fill) + transforms_.capacity() * sizeof(TransformStep)
        + givens_.capacity() * sizeof(Matrix) + chars_.capacity() * sizeof(char16_t)
        + texts_.capacity() * sizeof(TextItem) + images_.capacity() * sizeof(ImageItem)
        + fonts_.capacity() * sizeof(FontSpec) + gradients_.capacity() * sizeof(Gradient) + stop_bytes_;
    for (const Level& l : levels_)
        n += (l.starts.capacity() + l.entries.capacity()) * sizeof(uint32_t);
    return n;
}

bool DisplayList::within_budget(size_t more) const { return complete_ && bytes() + more <= max_bytes_; }

void DisplayList::unseal()
{
    if (!sealed_)
        return;
    sealed_ = false;
    levels_.clear();
    levels_.shrink_to_fit();
}

bool DisplayList::add(Op op, uint32_t a, uint32_t b, uint8_t flags)
{
    if (!within_budget(sizeof(Item))) {
        fail();
        return false;
    }
    try {
        items_.push_back({ op, flags, 0, current_, a, b });
    } catch (const std::bad_alloc&) {
        fail();
        return false;
    }
    unseal();
    return true;
}

void DisplayList::change_state(const State& next)
{
    if (next == state_)
        return;
    try {
        current_ = intern(states_, recent_states_, mix({ next.stroke, next.fill, next.transform }), next,
            [](const State& a, const State& b) { return a == b; });
        state_ = next;
    } catch (const std::bad_alloc&) {
        fail();
    }
}

PixelRect DisplayList::device_box(double x0, double y0, double x1, double y1, double pad, double margin_px) const
{
    const PixelRect whole { 0, 0, width_, height_ };
    const Matrix& m = matrix_;
    x0 -= pad, y0 -= pad, x1 += pad, y1 += pad;
    double lx = std::numeric_limits<double>::infinity(), ly = lx, hx = -lx, hy = -lx;
    for (double x : { x0, x1 })
        for (double y : { y0, y1 }) {
            const double dx = m.xx * x + m.xy * y + m.x0, dy = m.yx * x + m.yy * y + m.y0;
            lx = std::min(lx, dx), hx = std::max(hx, dx), ly = std::min(ly, dy), hy = std::max(hy, dy);
        }
    lx -= margin_px, ly -= margin_px, hx += margin_px, hy += margin_px;
    // Whatever cannot be bounded may touch every pixel.
    if (std::isnan(lx) || std::isnan(ly) || std::isnan(hx) || std::isnan(hy))
        return whole;
    auto clamp = [](double v, int hi) { return int(std::clamp(v, 0.0, double(hi))); };
    return { clamp(std::floor(lx), width_), clamp(std::floor(ly), height_), clamp(std::ceil(hx) + 1, width_),
        clamp(std::ceil(hy) + 1, height_) };
}

void DisplayList::add_drawing(Op op, double x0, double y0, double x1, double y1, double pad, double margin_px,
    uint32_t a, uint32_t b, uint8_t flags)
{
    if (!add(op, a, b, flags))
        return;
    const PixelRect box = device_box(
        std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1), pad, margin_px);
    if (box.empty())
        return;
    try {
        drawn_.push_back(uint32_t(items_.size() - 1));
        try {
            boxes_.push_back(box);
        } catch (const std::bad_alloc&) {
            drawn_.pop_back();
            throw;
        }
    } catch (const std::bad_alloc&) {
        fail();
    }
}

uint32_t DisplayList::put_coords(std::initializer_list<PointF> v)
{
    const size_t at = coords_.size();
    if (!within_budget(v.size() * sizeof(PointF)) || at > kNone - v.size())
        return kNone;
    try {
        coords_.insert(coords_.end(), v);
    } catch (const std::bad_alloc&) {
        fail();
        return kNone;
    }
    return uint32_t(at);
}

uint32_t DisplayList::put_points(const PointF* pts, size_t n)
{
    const size_t at = coords_.size();
    if (!within_budget(n * sizeof(PointF)) || n > kNone - at)
        return kNone;
    try {
        coords_.insert(coords_.end(), pts, pts + n);
    } catch (const std::bad_alloc&) {
        coords_.resize(at);
        fail();
        return kNone;
    }
    return uint32_t(at);
}

void DisplayList::begin_scene() { add(Op::BeginScene); }

void DisplayList::end_scene() { add(Op::EndScene); }

void DisplayList::clear(uint32_t argb)
{
    if (!add(Op::Clear, argb))
        return;
    try {
        drawn_.push_back(uint32_t(items_.size() - 1));
        boxes_.push_back({ 0, 0, width_, height_ });
    } catch (const std::bad_alloc&) {
        fail();
    }
}

uint32_t DisplayList::stroke_index(const StrokeStyle& s)
{
    return intern(strokes_, recent_strokes_, mix({ s.Color, bits(s.Thickness), uint64_t(s.Dash) }), s,
        [](const StrokeStyle& a, const StrokeStyle& b) { return same(a, b); });
}

void DisplayList::set_stroke(const StrokeStyle& s)
{
    if (!same(s, strokes_[state_.stroke])) {
        try {
            State next = state_;
            next.stroke = stroke_index(s);
            change_state(next);
        } catch (const std::bad_alloc&) {
            fail();
        }
    }
    add(Op::SetStroke);
}

void DisplayList::change_fill(const Fill& f)
{
    const Fill& now = fills_[state_.fill];
    if (now.kind == f.kind && now.color == f.color && now.ref == f.ref)
        return;
    try {
        State next = state_;
        next.fill = intern(fills_, recent_fills_, mix({ uint64_t(f.kind), f.color, f.ref }), f,
            [](const Fill& a, const Fill& b) { return a.kind == b.kind && a.color == b.color && a.ref == b.ref; });
        change_state(next);
    } catch (const std::bad_alloc&) {
        fail();
    }
}

void DisplayList::set_fill_color(uint32_t argb)
{
    change_fill({ FillKind::Color, argb, 0 });
    add(Op::SetFillColor);
}

void DisplayList::set_fill_bitmap(const platform::Bitmap& tile)
{
    // Like the Cairo canvas, an empty tile leaves the fill as it was.
    uint32_t at = kNone;
    if (!tile.empty() && within_budget(sizeof(platform::Bitmap))) {
        try {
            tiles_.push_back(tile.share());
            at = uint32_t(tiles_.size() - 1);
            change_fill({ FillKind::Bitmap, fills_[state_.fill].color, at });
        } catch (const std::bad_alloc&) {
            fail();
        }
    }
    add(Op::SetFillBitmap, at);
}

void DisplayList::set_fill_gradient(const Gradient& g)
{
    uint32_t at = kNone;
    if (within_budget(sizeof(Gradient) + g.Stops.size() * sizeof(GradientStop))) {
        try {
            gradients_.push_back(g);
            stop_bytes_ += g.Stops.size() * sizeof(GradientStop);
            at = uint32_t(gradients_.size() - 1);
            change_fill({ FillKind::Gradient, fills_[state_.fill].color, at });
        } catch (const std::bad_alloc&) {
            fail();
        }
    }
    add(Op::SetFillGradient, at);
}

void DisplayList::draw_line(PointF a, PointF b)
{
    const uint32_t at = put_coords({ a, b });
    if (at == kNone)
        return fail();
    add_drawing(Op::Line, a.X, a.Y, b.X, b.Y, half_width(stroke()), kEdgePx, at);
}

void DisplayList::draw_line(PointF a, PointF b, const StrokeStyle& s)
{
    const uint32_t at = put_coords({ a, b });
    if (at == kNone)
        return fail();
    // Dots come by the thousand with the same stroke of their own.
    uint32_t own = 0;
    try {
        own = stroke_index(s);
    } catch (const std::bad_alloc&) {
        return fail();
    }
    add_drawing(Op::Line, a.X, a.Y, b.X, b.Y, half_width(s), kEdgePx, at, own, kOwnStroke);
}

void DisplayList::draw_rect(PointF a, PointF b, float rx, float ry)
{
    const uint32_t at = put_coords({ a, b, { rx, ry } });
    if (at == kNone)
        return fail();
    // Every corner is a right angle: a mitre reaches sqrt(2) half widths out.
    add_drawing(Op::Rect, a.X, a.Y, b.X, b.Y, half_width(stroke()) * 1.5, kEdgePx, at);
}

void DisplayList::draw_ellipse(PointF a, PointF b)
{
    const uint32_t at = put_coords({ a, b });
    if (at == kNone)
        return fail();
    // Closing the outline may leave a sliver of a segment whose join points anywhere.
    add_drawing(Op::Ellipse, a.X, a.Y, b.X, b.Y, half_width(stroke()) * kMiterReach, kEdgePx, at);
}

void DisplayList::draw_arc(PointF centre, float rx, float ry, float start_deg, float sweep_deg)
{
    const uint32_t at = put_coords({ centre, { rx, ry }, { start_deg, sweep_deg } });
    if (at == kNone)
        return fail();
    const double ax = std::fabs(double(rx)), ay = std::fabs(double(ry));
    add_drawing(Op::Arc, centre.X - ax, centre.Y - ay, centre.X + ax, centre.Y + ay, half_width(stroke()) * kMiterReach,
        kEdgePx, at);
}

void DisplayList::draw_path(const PointF* pts, size_t n, bool closed)
{
    const uint32_t at = put_points(pts, pts ? n : 0);
    if (at == kNone)
        return fail();
    const uint8_t flags = closed ? kClosed : 0;
    if (!pts || n == 0) {
        add(Op::Path, at, 0, flags);
        return;
    }
    double x0 = pts[0].X, y0 = pts[0].Y, x1 = x0, y1 = y0;
    for (size_t i = 1; i < n; ++i) {
        x0 = std::min<double>(x0, pts[i].X), x1 = std::max<double>(x1, pts[i].X);
        y0 = std::min<double>(y0, pts[i].Y), y1 = std::max<double>(y1, pts[i].Y);
    }
    const double reach = n > 2 || closed ? kMiterReach : 1;
    add_drawing(Op::Path, x0, y0, x1, y1, half_width(stroke()) * reach, kEdgePx, at, uint32_t(n), flags);
}

void DisplayList::fill_polygon(const PointF* pts, size_t n)
{
    const uint32_t at = put_points(pts, pts ? n : 0);
    if (at == kNone)
        return fail();
    if (!pts || n == 0) {
        add(Op::FillPolygon, at, 0);
        return;
    }
    double x0 = pts[0].X, y0 = pts[0].Y, x1 = x0, y1 = y0;
    for (size_t i = 1; i < n; ++i) {
        x0 = std::min<double>(x0, pts[i].X), x1 = std::max<double>(x1, pts[i].X);
        y0 = std::min<double>(y0, pts[i].Y), y1 = std::max<double>(y1, pts[i].Y);
    }
    add_drawing(Op::FillPolygon, x0, y0, x1, y1, 0, kEdgePx, at, uint32_t(n));
}

bool DisplayList::take_transform(const TransformStep& t, const Matrix& result)
{
    uint32_t node = 0;
    try {
        if (t.multiply || !t.given.is_identity()) {
            uint64_t h = mix({ t.parent, uint64_t(t.multiply) });
            for (double d : { t.given.xx, t.given.yx, t.given.xy, t.given.yy, t.given.x0, t.given.y0 }) {
                uint64_t b;
                std::memcpy(&b, &d, 8);
                h = mix({ h, b });
            }
            node = intern(
                transforms_, recent_transforms_, size_t(h), t, [](const TransformStep& a, const TransformStep& b) {
                    return a.parent == b.parent && a.multiply == b.multiply
                        && std::memcmp(&a.given, &b.given, sizeof(Matrix)) == 0;
                });
        }
    } catch (const std::bad_alloc&) {
        fail();
        return false;
    }
    State next = state_;
    next.transform = node;
    change_state(next);
    if (state_.transform != node)
        return false;
    matrix_ = result;
    return add(t.multiply ? Op::MultiplyTransform : Op::SetTransform, node, 0, kTakenOn);
}

void DisplayList::refuse_transform(Op op, const Matrix& m)
{
    uint32_t at = kNone;
    try {
        givens_.push_back(m);
        at = uint32_t(givens_.size() - 1);
    } catch (const std::bad_alloc&) {
        return fail();
    }
    add(op, at);
}

void DisplayList::set_transform(const Matrix& m)
{
    // The Cairo canvas leaves a matrix Cairo would refuse, and Cairo keeps the identity as its own: the
    // identity is the first step, where every canvas starts.
    if (!m.invertible())
        return refuse_transform(Op::SetTransform, m);
    take_transform({ m, 0, false }, m.is_identity() ? Matrix {} : m);
}

void DisplayList::multiply_transform(const Matrix& m)
{
    const Matrix t = Matrix::compose(m, matrix_);
    // Cairo takes no step for the identity, so neither do we: the inverse it keeps stays the same.
    if (!m.invertible() || !t.invertible() || m.is_identity())
        return refuse_transform(Op::MultiplyTransform, m);
    take_transform({ m, state_.transform, true }, t);
}

Matrix DisplayList::given(const Item& it) const
{
    if (!(it.flags & kTakenOn))
        return givens_[it.a];
    return it.a == 0 ? Matrix {} : transforms_[it.a].given;
}

Matrix DisplayList::matrix_of(uint32_t node) const
{
    std::vector<uint32_t> chain;
    for (; node != 0 && transforms_[node].multiply; node = transforms_[node].parent)
        chain.push_back(node);
    Matrix m = node == 0 || transforms_[node].given.is_identity() ? Matrix {} : transforms_[node].given;
    for (auto k = chain.rbegin(); k != chain.rend(); ++k)
        m = Matrix::compose(transforms_[*k].given, m);
    return m;
}

void DisplayList::fill_text(std::u16string_view text, const RectF& r, const FontSpec& font)
{
    if (!within_budget(text.size() * sizeof(char16_t) + sizeof(TextItem) + sizeof(FontSpec)))
        return fail();
    uint32_t at = kNone;
    try {
        if (fonts_.empty() || !same(fonts_.back(), font)) {
            fonts_.push_back(font);
            // Resolved here, on the drawing thread, so that no band ever asks fontconfig.
            font_cache().face(font.Family, font.Bold, font.Italic);
            font_cache().face(kFallbackFamily, font.Bold, font.Italic);
        }
        const size_t offset = chars_.size();
        chars_.append(text);
        texts_.push_back({ uint32_t(offset), uint32_t(text.size()), uint32_t(fonts_.size() - 1), r });
        at = uint32_t(texts_.size() - 1);
    } catch (const std::bad_alloc&) {
        return fail();
    }
    // What lies outside the rectangle is clipped; the glyphs inside stay within it.
    add_drawing(Op::Text, r.Left, r.Top, r.Right, r.Bottom, 0, kGlyphPx, at);
}

void DisplayList::draw_bitmap(const platform::Bitmap& b, const RectF& src, const RectF& dst)
{
    if (!within_budget(sizeof(ImageItem)))
        return fail();
    uint32_t at = kNone;
    try {
        images_.push_back({ b.share(), src, dst });
        at = uint32_t(images_.size() - 1);
    } catch (const std::bad_alloc&) {
        return fail();
    }
    add_drawing(Op::Bitmap, dst.Left, dst.Top, dst.Right, dst.Bottom, 0, kEdgePx, at);
}

// ---- Reading back.

void DisplayList::decode(const Item& it, Record& r) const
{
    const State& st = states_[it.state];
    const Fill& fill = fills_[st.fill];
    r.op = it.op;
    r.stroke = strokes_[st.stroke];
    r.fill_kind = fill.kind;
    r.fill_color = fill.color;
    r.transform = matrix_of(st.transform);
    auto tile = [&](uint32_t t) {
        if (t == kNone)
            return;
        r.image_width = tiles_[t].width();
        r.image_height = tiles_[t].height();
        r.image = pixels_of(tiles_[t]);
    };
    switch (it.op) {
    case Op::Clear: r.color = it.a; break;
    case Op::SetFillBitmap: tile(it.a); break;
    case Op::SetFillGradient:
        if (it.a != kNone)
            r.gradient = gradients_[it.a];
        break;
    case Op::Line:
        r.pts = { coords_[it.a], coords_[it.a + 1] };
        if (it.flags & kOwnStroke)
            r.stroke = strokes_[it.b];
        break;
    case Op::Rect:
        r.pts = { coords_[it.a], coords_[it.a + 1] };
        r.rx = coords_[it.a + 2].X;
        r.ry = coords_[it.a + 2].Y;
        break;
    case Op::Ellipse: r.pts = { coords_[it.a], coords_[it.a + 1] }; break;
    case Op::Arc:
        r.pts = { coords_[it.a] };
        r.rx = coords_[it.a + 1].X;
        r.ry = coords_[it.a + 1].Y;
        r.start_deg = coords_[it.a + 2].X;
        r.sweep_deg = coords_[it.a + 2].Y;
        break;
    case Op::Path:
    case Op::FillPolygon:
        r.pts.assign(coords_.begin() + it.a, coords_.begin() + it.a + it.b);
        r.closed = (it.flags & kClosed) != 0;
        if (it.op == Op::FillPolygon && fill.kind == FillKind::Gradient)
            r.gradient = gradients_[fill.ref];
        if (it.op == Op::FillPolygon && fill.kind == FillKind::Bitmap)
            tile(fill.ref);
        break;
    case Op::SetTransform:
    case Op::MultiplyTransform: r.given = given(it); break;
    case Op::Text: {
        const TextItem& t = texts_[it.a];
        r.text.assign(chars_, t.offset, t.length);
        r.font = fonts_[t.font];
        r.rect = t.rect;
        break;
    }
    case Op::Bitmap: {
        const ImageItem& im = images_[it.a];
        r.src = im.src;
        r.rect = im.dst;
        r.image_width = im.pixels.width();
        r.image_height = im.pixels.height();
        r.image = pixels_of(im.pixels);
        break;
    }
    default: break;
    }
}

const std::vector<DisplayList::Record>& DisplayList::records() const
{
    while (decoded_.size() < items_.size()) {
        const Item& it = items_[decoded_.size()];
        decode(it, decoded_.emplace_back());
    }
    return decoded_;
}

void DisplayList::clear_records()
{
    items_.clear();
    drawn_.clear();
    boxes_.clear();
    decoded_.clear();
    unseal();
}

size_t DisplayList::count(Op op) const
{
    size_t n = 0;
    for (const Item& it : items_)
        n += it.op == op;
    return n;
}

std::vector<const DisplayList::Record*> DisplayList::of(Op op) const
{
    std::vector<const Record*> out;
    for (const Record& r : records())
        if (r.op == op)
            out.push_back(&r);
    return out;
}

const DisplayList::Record* DisplayList::last(Op op) const
{
    const std::vector<Record>& all = records();
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if (it->op == op)
            return &*it;
    return nullptr;
}

bool DisplayList::draws(Op op)
{
    switch (op) {
    case Op::Clear:
    case Op::Line:
    case Op::Rect:
    case Op::Ellipse:
    case Op::Arc:
    case Op::Path:
    case Op::FillPolygon:
    case Op::Text:
    case Op::Bitmap: return true;
    default: return false;
    }
}

std::vector<const DisplayList::Record*> DisplayList::drawn() const
{
    std::vector<const Record*> out;
    for (const Record& r : records())
        if (draws(r.op))
            out.push_back(&r);
    return out;
}

} // namespace platform
