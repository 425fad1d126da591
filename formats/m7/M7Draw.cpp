// M7Draw: TM7Data's drawing: attribute words into colours, widths and dash patterns, and every object kind.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>

#include "formats/m7/M7Unit.h"
#include "globals/UnitVal.h"
#include "graphics/GraUnit.h"
#include "graphics/LineStroke.h"
#include "util/Func_2_files.h"
#include "util/Func_2_geometry.h"
#include "util/Func_2_text.h"

namespace {

namespace m7kind = detail::m7kind;

using std::numbers::pi;
constexpr uint32_t grey_colour = 0xFFD8D8D8;
constexpr uint32_t aux_colour = 0xFF888888;
constexpr uint8_t aux_type = 15;

// Pens 0 to 11; every higher number is black.
uint32_t pen_colour(int co)
{
    static const uint32_t table[12] = { 0xFF000000, 0xFF009595, 0xFF000000, 0xFF00AA37, 0xFFC0C000, 0xFFC000C0,
        0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFF00FF00, 0xFFFFC0CB, 0xFFB8860B };
    return co >= 0 && co < 12 ? table[co] : 0xFF000000;
}

// A pen number as the colour table takes it: one that does not fit a byte counts as a pen above 11.
uint8_t pen_byte(int32_t pen) { return pen >= 0 && pen <= 255 ? static_cast<uint8_t>(pen) : 255; }

bool grey_layer(const TM7Data& d, int lg, int ly)
{
    const TM7LayerGroupField& g = d.li.grp[static_cast<size_t>(lg) & 15];
    return g.state == 1 || g.tab[static_cast<size_t>(ly) & 15].state == 1;
}

// SetColor's rules without setting anything.
uint32_t colour_of(const TM7Data& d, int lg, int ly, int co, int ty, uint32_t col)
{
    if (grey_layer(d, lg, ly))
        return grey_colour;
    if (ty == aux_type)
        return aux_colour;
    if (d.DispMode)
        return ColorRefToAlpha(static_cast<int32_t>(col));
    return pen_colour(co);
}

// The entry in use at index i of a list, or null.
template <class T> const T* entry(const std::vector<T>& list, int32_t n, int32_t i)
{
    if (i < 0 || i >= n || static_cast<size_t>(i) >= list.size())
        return nullptr;
    return &list[static_cast<size_t>(i)];
}

template <class T> std::span<const TDPoint> points(const T& o)
{
    const size_t n = std::min<size_t>(o.cnt > 0 ? static_cast<size_t>(o.cnt) : 0, o.pt.size());
    return { o.pt.data(), n };
}

// Draws one registered object of the document at its group's scale.
class ObjectDrawer {
public:
    ObjectDrawer(TM7Data& d, TGraph& g)
        : d_(d)
        , g_(g)
    {
    }

    void draw(const TM7EntNo& e);

private:
    // Splits the header and tells whether the object's group and layer are shown.
    bool take(const TM7ObjectHeader& hd, bool aux);
    void stroke_setup();
    void ends(const TM7ObjectEdge& e);
    bool grey() const { return grey_layer(d_, lg_, ly_); }
    // The object's own colour (grey on a grey layer) for fills and pictures, set as pen and fill.
    uint32_t own_colour();

    void point(const TM7ObjectPoint& o);
    void line(const TM7ObjectLine& o, const TM7ObjectEdge* e);
    void circle(const TM7ObjectCircle& o, const TM7ObjectEdge* e);
    void ellipse(const TM7ObjectEllipse& o, const TM7ObjectEdge* e);
    void text(const TDPoint& pos, double angle, uint8_t lout, const std::u16string& s, const TM7TextStyle& st);
    void chain(std::span<const TDPoint> pts, bool bezier, const TM7ObjectEdge* e);
    void symbol(const TM7ObjectSymbol& o);
    void fill(const TM7ObjectPolygon& o);
    void fill(const TM7ObjectPolygonGrad& o);
    void fill(const TM7ObjectPolygonMapping& o);
    void picture(int32_t typ, const std::array<TDPoint, 4>& pos, const std::vector<uint8_t>& bmp);
    void polygon(std::span<const TDPoint> pts);

    TM7Data& d_;
    TGraph& g_;
    double sc_ = 1;
    uint8_t lg_ = 0, ly_ = 0, col_ = 0, typ_ = 0;
    uint32_t colour_ = 0;
};

bool ObjectDrawer::take(const TM7ObjectHeader& hd, bool aux)
{
    TM7Data::SepAttr(hd.attr, lg_, ly_, col_, typ_);
    colour_ = hd.color;
    const TM7LayerGroupField& grp = d_.li.grp[lg_ & 15];
    if (grp.state == 0 || grp.tab[ly_ & 15].state == 0)
        return false;
    if (aux && typ_ == aux_type && !d_.HojoMode)
        return false;
    sc_ = grp.scale;
    gLayerScale = 1 / sc_;
    return true;
}

void ObjectDrawer::stroke_setup()
{
    d_.SetColor(lg_, ly_, col_, typ_, colour_);
    d_.SetWidth(col_, typ_);
    d_.SetLinePattern(col_, typ_);
}

void ObjectDrawer::ends(const TM7ObjectEdge& e)
{
    for (uint8_t dir = 1; dir <= 2; ++dir) {
        d_.SetLinePattern(col_, typ_);
        const auto& q = e.half[dir - 1];
        g_.GLSymbol(q.sx * sc_, q.sy * sc_, q.le, q.ox * sc_, q.oy * sc_, q.r1 * sc_, q.r2 * sc_, q.ea, q.an, q.pa1,
            q.pa2, q.sty, q.ext, q.exa, dir);
    }
}

uint32_t ObjectDrawer::own_colour()
{
    // SetColor's rules as in colour mode, for line type 0.
    const uint32_t c = grey() ? grey_colour : ColorRefToAlpha(static_cast<int32_t>(colour_));
    g_.GPenSetColor(c);
    return c;
}

void ObjectDrawer::draw(const TM7EntNo& e)
{
    switch (e.INo) {
    case m7kind::Point:
        if (auto* o = entry(d_.pt, d_.ptN, e.ENo); o && take(o->hd, false))
            point(*o);
        break;
    case m7kind::Line:
        if (auto* o = entry(d_.ln, d_.lnN, e.ENo); o && take(o->hd, true))
            line(*o, nullptr);
        break;
    case m7kind::LineEx:
        if (auto* o = entry(d_.lnx, d_.lnxN, e.ENo); o && take(o->ln.hd, true))
            line(o->ln, &o->e);
        break;
    case m7kind::Circle:
        if (auto* o = entry(d_.cr, d_.crN, e.ENo); o && take(o->hd, true))
            circle(*o, nullptr);
        break;
    case m7kind::CircleEx:
        if (auto* o = entry(d_.crx, d_.crxN, e.ENo); o && take(o->cr.hd, true))
            circle(o->cr, &o->e);
        break;
    case m7kind::Ellipse:
        if (auto* o = entry(d_.ep, d_.epN, e.ENo); o && take(o->hd, true))
            ellipse(*o, nullptr);
        break;
    case m7kind::EllipseEx:
        if (auto* o = entry(d_.epx, d_.epxN, e.ENo); o && take(o->ep.hd, true))
            ellipse(o->ep, &o->e);
        break;
    case m7kind::Text:
        // A style number past the table names no style: the text is not drawn.
        if (auto* o = entry(d_.tx, d_.txN, e.ENo); o && o->style < d_.txtstl.size() && take(o->hd, false))
            text(o->pos, o->angle, o->lout, o->text, d_.txtstl[o->style]);
        break;
    case m7kind::TextEx:
        if (auto* o = entry(d_.txx, d_.txxN, e.ENo); o && take(o->hd, false))
            text(o->pos, o->angle, o->lout, o->text, o->ex);
        break;
    case m7kind::Polyline:
        if (auto* o = entry(d_.pl, d_.plN, e.ENo); o && take(o->hd, true))
            chain(points(*o), false, nullptr);
        break;
    case m7kind::PolylineEx:
        if (auto* o = entry(d_.plx, d_.plxN, e.ENo); o && take(o->hd, true))
            chain(points(*o), false, &o->e);
        break;
    case m7kind::Bezier:
        if (auto* o = entry(d_.bz, d_.bzN, e.ENo); o && take(o->hd, true))
            chain(points(*o), true, nullptr);
        break;
    case m7kind::BezierEx:
        if (auto* o = entry(d_.bzx, d_.bzxN, e.ENo); o && take(o->hd, true))
            chain(points(*o), true, &o->e);
        break;
    case m7kind::Symbol:
        if (auto* o = entry(d_.sy, d_.syN, e.ENo); o && take(o->hd, false))
            symbol(*o);
        break;
    case m7kind::Polygon:
        if (auto* o = entry(d_.pg, d_.pgN, e.ENo); o && take(o->hd, false))
            fill(*o);
        break;
    case m7kind::PolygonGrad:
        if (auto* o = entry(d_.pgg, d_.pggN, e.ENo); o && take(o->hd, false))
            fill(*o);
        break;
    case m7kind::PolygonMapping:
        if (auto* o = entry(d_.pgm, d_.pgmN, e.ENo); o && take(o->hd, false))
            fill(*o);
        break;
    case m7kind::Bitmap:
        if (auto* o = entry(d_.bm, d_.bmN, e.ENo); o && take(o->hd, false))
            picture(o->typ, o->pos, o->bmp);
        break;
    case m7kind::BitmapEx:
        if (auto* o = entry(d_.bmx, d_.bmxN, e.ENo); o && take(o->hd, false))
            picture(o->typ, o->pos, o->bmp);
        break;
    default: break; // groups draw nothing themselves; their members come as objects of their own
    }
}

void ObjectDrawer::point(const TM7ObjectPoint& o)
{
    const int32_t style_pen = d_.symstl.point_pen();
    d_.SetColor(lg_, ly_, style_pen != 0 ? pen_byte(style_pen) : col_, 0, colour_);
    const double r = d_.symstl.point_diameter() / 2;
    g_.GLSolidCircle(o.pos.X * sc_, o.pos.Y * sc_, r);
    g_.GLEllipse(o.pos.X * sc_, o.pos.Y * sc_, r, 1, 0);
}

void ObjectDrawer::line(const TM7ObjectLine& o, const TM7ObjectEdge* e)
{
    stroke_setup();
    g_.GLLine2(o.pos[0].X * sc_, o.pos[0].Y * sc_, o.pos[1].X * sc_, o.pos[1].Y * sc_);
    if (e)
        ends(*e);
}

namespace arcs {

// Sweep from the start to the end angle, counter-clockwise; full when it is none or a whole turn.
double sweep(const std::array<double, 2>& arc, bool& full)
{
    double da = arc[1] - arc[0];
    if (da < 0)
        da += 2 * pi;
    full = std::fabs(da) <= 1e-12 || std::fabs(da - 2 * pi) <= 1e-12;
    return da;
}

} // namespace arcs

void ObjectDrawer::circle(const TM7ObjectCircle& o, const TM7ObjectEdge* e)
{
    stroke_setup();
    bool full;
    const double da = arcs::sweep(o.arc, full);
    if (full) {
        g_.GLEllipse2(o.pos.X * sc_, o.pos.Y * sc_, o.r * sc_, 1, 0);
        return;
    }
    g_.GLEllipseArc2(o.pos.X * sc_, o.pos.Y * sc_, o.r * sc_, 1, 0, o.arc[0], da);
    if (e)
        ends(*e);
}

void ObjectDrawer::ellipse(const TM7ObjectEllipse& o, const TM7ObjectEdge* e)
{
    stroke_setup();
    bool full;
    const double da = arcs::sweep(o.arc, full);
    constexpr double flat_limit = 1e-10;
    double radius = o.r[0] * sc_, flatness = 1, tilt = o.angle, sa = o.arc[0];
    if (std::fabs(radius) > flat_limit) {
        flatness = o.r[1] / o.r[0];
    } else if (std::fabs(o.r[1] * sc_) > flat_limit) {
        // No first axis: a line along the second one, drawn as a flat ellipse turned a quarter.
        radius = o.r[1] * sc_;
        flatness = 0;
        tilt += pi / 2;
        sa -= pi / 2;
    } else {
        radius = 0; // no axes at all: a dot
    }
    const double cx = o.pos.X * sc_, cy = o.pos.Y * sc_;
    if (full) {
        g_.GLEllipse2(cx, cy, radius, flatness, tilt);
        return;
    }
    g_.GLEllipseArc2(cx, cy, radius, flatness, tilt, sa, da);
    if (e)
        ends(*e);
}

void ObjectDrawer::text(const TDPoint& pos, double angle, uint8_t lout, const std::u16string& s, const TM7TextStyle& st)
{
    d_.SetColor(lg_, ly_, st.penno != 0 ? st.penno : col_, 0, colour_);
    const double h = std::fabs(st.hight);
    double w = std::fabs(st.width);
    if (h * 0.1 >= w)
        w = h;
    const double sp = st.spce;
    const double len = AnsiTextWidth(s, w, sp);
    const double x1 = pos.X * sc_, y1 = pos.Y * sc_;
    const double x2 = x1 + len * std::cos(angle), y2 = y1 + len * std::sin(angle);
    const std::u16string font = (lout == 1 ? u"@" : u"") + st.font;
    g_.GLAText3(x1, y1, x2, y2, h, w, sp, st.txattr & 3, font, s);
}

void ObjectDrawer::chain(std::span<const TDPoint> pts, bool bezier, const TM7ObjectEdge* e)
{
    stroke_setup();
    const int n = static_cast<int>(pts.size());
    if (bezier)
        g_.GLBezier(n, pts, sc_);
    else
        g_.GLPolylin(n, pts, sc_);
    if (e)
        ends(*e);
}

void ObjectDrawer::symbol(const TM7ObjectSymbol& o)
{
    stroke_setup();
    g_.GLSymbol(o.pos.X * sc_, o.pos.Y * sc_, o.len, o.o.X * sc_, o.o.Y * sc_, o.r[0] * sc_, o.r[1] * sc_, o.elipang,
        o.angle, o.param[0], o.param[1], o.style, o.extype, o.exattr, 0);
}

void ObjectDrawer::polygon(std::span<const TDPoint> pts)
{
    g_.GLPolygon(static_cast<int>(pts.size()), pts, sc_);
    // Back to a solid pen and fill for whatever comes next.
    g_.GPenSet(g_.C->fill_color(), 0, 1);
}

void ObjectDrawer::fill(const TM7ObjectPolygon& o)
{
    g_.GPolygonPattern(o.ptn, own_colour());
    polygon(points(o));
}

void ObjectDrawer::fill(const TM7ObjectPolygonGrad& o)
{
    const auto pts = points(o);
    if (grey()) {
        g_.GPenSetColor(grey_colour);
    } else if (!pts.empty()) {
        double x1 = pts[0].X, y1 = pts[0].Y, x2 = x1, y2 = y1;
        for (const TDPoint& p : pts) {
            x1 = std::min(x1, p.X);
            y1 = std::min(y1, p.Y);
            x2 = std::max(x2, p.X);
            y2 = std::max(y2, p.Y);
        }
        g_.GPolygonGrad(o.e.typ, o.e.col[0], o.e.col[1], o.e.pos[0], o.e.pos[1], x1, y1, x2, y2, o.e.angle);
    }
    polygon(pts);
}

void ObjectDrawer::fill(const TM7ObjectPolygonMapping& o)
{
    g_.GPolygonPattern(o.ptn, own_colour());
    if (grey())
        g_.GPenSetColor(grey_colour);
    else
        g_.GPolygonBmp(o.e.size.X, o.e.size.Y, o.e.depth, o.e.bmp, o.e.pe);
    polygon(points(o));
}

void ObjectDrawer::picture(int32_t typ, const std::array<TDPoint, 4>& pos, const std::vector<uint8_t>& bmp)
{
    // No hatch is set up here: the grey stand-in is a plain grey quadrilateral.
    own_colour();
    if (grey()) {
        g_.GPenSetColor(grey_colour);
        g_.GLPolygon(4, pos, sc_);
        return;
    }
    // The picture file lives in the run's private folder only, never in the current directory.
    if (gRunTempFolder.empty())
        return;
    std::u16string name;
    if (!WriteImageFile(typ, static_cast<int64_t>(bmp.size()), gRunTempFolder + u"TmpImg", bmp, name))
        return;
    if (IsFile(name)) {
        const double x0 = pos[0].X * sc_, y0 = pos[0].Y * sc_;
        const double w = Distance2P(pos[0].X, pos[0].Y, pos[1].X, pos[1].Y) * sc_;
        const double h = Distance2P(pos[0].X, pos[0].Y, pos[3].X, pos[3].Y) * sc_;
        const double deg = LineAngle(pos[1].X - pos[0].X, pos[1].Y - pos[0].Y) * 180 / pi;
        g_.GLImage2(x0, y0, x0 + w, y0 + h, 0, 0, 1, deg, name);
    }
    EraseFile(name);
}

} // namespace

void TM7Data::SepAttr(uint16_t a, uint8_t& lg, uint8_t& ly, uint8_t& col, uint8_t& typ)
{
    ly = static_cast<uint8_t>((a >> 12) & 15);
    lg = static_cast<uint8_t>((a >> 8) & 15);
    col = static_cast<uint8_t>((a >> 4) & 15);
    typ = static_cast<uint8_t>(a & 15);
}

void TM7Data::SetColor(uint8_t lg, uint8_t ly, uint8_t co, uint8_t ty, uint32_t col)
{
    if (gGraph)
        gGraph->GPenSetColor(colour_of(*this, lg, ly, co, ty, col));
}

void TM7Data::SetWidth(uint8_t co, uint8_t ty)
{
    if (!gGraph)
        return;
    uint32_t wid = 1;
    if (ty != aux_type && DispMode && co < prnstl.width.size()) {
        double w = prnstl.width[co] * 0.01 * gDispScale;
        if (!(w > 1))
            w = 1;
        if (w > 400)
            w = 400;
        wid = static_cast<uint32_t>(detail::round_half_even(w));
    }
    gGraph->GPenSetWidth(wid);
}

void TM7Data::SetLinePattern(uint8_t co, uint8_t ty)
{
    if (!gGraph)
        return;
    gGraph->GLSetDT();
    double pat[TGraph::max_pattern] = {};
    int n = 0;
    auto set = [&](std::initializer_list<double> v) {
        for (double x : v)
            pat[n++] = x;
    };
    if (ty < prnstl.ltype.size()) {
        const detail::M7LineType& lt = prnstl.ltype[ty];
        switch (lt.kind) {
        case 1: set({ 2, 2 }); break;
        case 2: set({ 0.25, 0.5 }); break;
        case 3: set({ 12, 1, 1, 1 }); break;
        case 4: set({ 12, 1, 1, 1, 1, 1 }); break;
        case 7: {
            // At most the ten segments the record holds, whatever its count says.
            const int count = std::clamp<int32_t>(lt.count, 0, static_cast<int32_t>(lt.seg.size()));
            for (int i = 0; i < count; ++i)
                pat[n++] = lt.seg[static_cast<size_t>(i)] * 0.01;
            break;
        }
        default: break;
        }
    }
    double m = n > 0 ? *std::min_element(pat, pat + n) : 0.01;
    double x = co < prnstl.width.size() ? prnstl.width[co] * 0.01 : 0.01;
    if (ty == aux_type) {
        n = 0;
        set({ 0.25, 2 });
        m = 0.25;
        x = 1 / gDispScale;
    }
    if (n > 0 && x / 2 > m)
        for (int i = 0; i < n; ++i)
            pat[i] += x;
    gGraph->GLPenSetLtypePat(n, std::span<const double>(pat, static_cast<size_t>(n)));
}

void TM7Data::GLDrawALL()
{
    if (!gGraph)
        return;
    gGraph->GPenSet(0xFF000000, 0, 1);
    ObjectDrawer drawer(*this, *gGraph);
    const size_t n = std::min(static_cast<size_t>(std::max(EntN, 0)), Ent.size());
    for (size_t i = 0; i < n; ++i)
        drawer.draw(Ent[i]);
}
