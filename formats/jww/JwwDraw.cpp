// Drawing of JWW records through the Jw renderer and the layer states, shared by ".jww" and ".jws".
#include "formats/jww/JwwDraw.h"
#include "formats/jww/JwwUnit.h"

#include <cmath>
#include <numbers>

#include "globals/UnitVal.h"
#include "graphics/DrawResult.h"
#include "graphics/GraPoints.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"
#include "util/Func_2.h"

namespace detail {
namespace {

using std::numbers::pi;

bool starts_with_bm(const std::u16string& s) { return s.compare(0, 4, u"^@BM") == 0; }

bool hidden(int lay) { return gGraAtt->GetAttrLayerState(lay) == 3; }

bool vertical(const TEntJwwMoji& e) { return (e.att.sFlg & 0x20) != 0; }

// Width, height and font of a text before placement; vertical writing exchanges the sizes.
void text_sizes(const TEntJwwMoji& e, const std::u16string& font, double& w, double& h, std::u16string& f)
{
    w = std::fabs(e.dSizeX);
    h = std::fabs(e.dSizeY);
    f = font;
    if (vertical(e)) {
        std::swap(w, h);
        f = u"@" + font;
    }
}

// Pen of a text or of an image frame: the colour of its layer or number, width 0.
void text_pen(const TEntJwwAttr& a, uint32_t dcol) { gGraph2->GLPenSet(layer_of(a), a.nPenColor, 1, 0, dcol); }

void stroke_pen(const TEntJwwAttr& a, bool dispmode, uint32_t dcol)
{
    if (dispmode)
        gGraph2->GLSetDT();
    gGraph2->GLPenSet(layer_of(a), a.nPenColor, a.nPenStyle, entity_pen_width(a), dcol);
}

// Solids of colour number 10 carry their own colour; greyed and hidden layers still win over it.
void solid_pen(const TEntJwwSolid& e, uint32_t dcol)
{
    const int lay = layer_of(e.att);
    if (e.att.nPenColor != 10) {
        gGraph2->GLPenSet(lay, e.att.nPenColor, 1, 0, dcol);
        return;
    }
    uint32_t colour;
    switch (gGraAtt->GetAttrLayerState(lay)) {
    case 2: colour = gGraAtt->GetGrayColor(); break;
    case 3: colour = gGraAtt->GetBackColor(); break;
    default: colour = 0xFF000000u | ((e.Color & 0xFFu) << 16) | (e.Color & 0xFF00u) | ((e.Color >> 16) & 0xFFu); break;
    }
    if (gGraAtt->GetAll1ColorState())
        colour = gGraAtt->GetAll1Color();
    else if (dcol != 0)
        colour = dcol;
    gGraph2->GPenSet(colour, 0, 1);
}

int fill_points(std::initializer_list<TDPoint> pts)
{
    GLPoints.assign(pts);
    GLPointsN = int(GLPoints.size());
    int r = gGraph2->GLSolid();
    GLPoints.clear();
    GLPointsN = 0;
    return r;
}

void apply(const JwwTrans& t, double x, double y, double& px, double& py)
{
    BlockTransPoint(x, y, t.bx, t.by, t.b1, t.b2, t.b3, t.b4, t.sc, px, py);
}

bool is_identity(const JwwTrans& t) { return BlockTransIsIdentity(t.b1, t.b2, t.b3, t.b4); }

JwwTrans with_lf(JwwTrans t)
{
    if (t.lf)
        t.sc = 1;
    return t;
}

// The best of two result codes: drawn beats outside beats too small beats nothing.
int better(int a, int b) { return std::min(a, b); }

bool ready() { return gGraAtt && gGraph2; }

} // namespace

JwwTrans node_trans(const TEntJwwBlockTree& n)
{
    return { n.x, n.y, n.r1, n.r2, n.r3, n.r4, 1.0, (n.att.nPenStyle & 0x40) != 0 };
}

JwwEntities definition_entities(const TEntJwwBlockDef& d)
{
    return { first_n(d.mLine, d.mLineN), first_n(d.mEnko, d.mEnkoN), first_n(d.mTen, d.mTenN),
        first_n(d.mMoji, d.mMojiN), first_n(d.mSunpo, d.mSunpoN), first_n(d.mSolid, d.mSolidN),
        first_n(d.mBlock, d.mBlockN), {}, {} };
}

bool is_image_moji(const std::u16string& s) { return starts_with_bm(s) && s.find(u',') != std::u16string::npos; }

int32_t jww_layer_state(int32_t G, int32_t L)
{
    if (G == 0)
        return 3;
    if (G == 1)
        return L == 0 ? 3 : 2;
    if (L == 1)
        return 2;
    if (L == 0)
        return 3;
    return 1;
}

double usable_group_scale(double s) { return s == 0 || !std::isfinite(s) ? 1.0 : s; }

int moji_font_type(uint32_t shu)
{
    if (shu >= 30000)
        return 3;
    if (shu >= 20000)
        return 1;
    if (shu >= 10000)
        return 2;
    return 0;
}

double entity_pen_width(const TEntJwwAttr& a)
{
    if (a.nPenWidth != 0)
        return a.nPenWidth / 100.0;
    return gGraAtt ? gGraAtt->GetAttrColwid(a.nPenColor) : 0.0;
}

JwwTextPlacement moji_placement(const TEntJwwMoji& e, const std::u16string& font)
{
    JwwTextPlacement p;
    text_sizes(e, font, p.w, p.h, p.font);
    p.sp = e.dKankaku;
    p.Ftyp = moji_font_type(e.nMojiShu);
    p.x1 = e.start_x;
    p.y1 = e.start_y;
    p.x2 = e.end_x;
    p.y2 = e.end_y;
    return p;
}

JwwTextPlacement moji_placement_block(const TEntJwwMoji& e, const std::u16string& font, const JwwTrans& t)
{
    JwwTextPlacement p;
    double w0, h0;
    text_sizes(e, font, w0, h0, p.font);
    p.Ftyp = moji_font_type(e.nMojiShu);
    BlockTransMoji(e.start_x, e.start_y, e.end_x, e.end_y, w0 / t.sc, h0 / t.sc, e.dKankaku, t.bx, t.by, t.b1, t.b2,
        t.b3, t.b4, t.sc, p.x1, p.y1, p.x2, p.y2, p.w, p.h, p.sp);
    return p;
}

JwwTextPlacement moji_placement_fit(
    const TEntJwwMoji& e, const std::u16string& font, const std::u16string& sm, const JwwTrans& t)
{
    JwwTextPlacement p;
    double w0, h0;
    text_sizes(e, font, w0, h0, p.font);
    p.Ftyp = moji_font_type(e.nMojiShu);
    BlockTransMojiFit(sm, e.start_x, e.start_y, e.end_x, e.end_y, w0 / t.sc, h0 / t.sc, e.dKankaku, t.bx, t.by, t.b1,
        t.b2, t.b3, t.b4, t.sc, p.x1, p.y1, p.x2, p.y2, p.w, p.h, p.sp);
    return p;
}

JwwImagePlacement image_placement_block(const TEntJwwMoji& e, double W, double H, double dan, const JwwTrans& t)
{
    JwwImagePlacement p;
    const double sx = e.start_x, sy = e.start_y;
    apply(t, sx, sy, p.x1, p.y1);
    const double al = LineAngle(e.end_x - sx, e.end_y - sy);
    double qx, qy;
    apply(t, sx + W * std::cos(al), sy + W * std::sin(al), qx, qy);
    const double w = Distance2P(p.x1, p.y1, qx, qy);
    apply(t, sx - H * std::sin(al), sy + H * std::cos(al), qx, qy);
    const double h = Distance2P(p.x1, p.y1, qx, qy);
    const double d = dan * pi / 180;
    apply(t, sx + W * std::cos(d), sy + W * std::sin(d), qx, qy);
    // LineAngle already lies in [0, 2π); the degrees are folded once more against rounding at 360.
    p.dan = LineAngle(qx - p.x1, qy - p.y1) * 180 / pi;
    if (p.dan >= 360)
        p.dan -= 360;
    p.x2 = p.x1 + w;
    p.y2 = p.y1 + h;
    return p;
}

std::u16string jww_image_path(const std::u16string& folder, const std::u16string& name)
{
    if (name.compare(0, 6, u"%temp%") != 0)
        return name;
    std::u16string plain = bind_image_plain_name(name.substr(6));
    if (folder.empty() || plain.empty())
        return u"";
    return folder + plain;
}

double JwwPainter::group_scale(uint32_t g) const
{
    return g < groups_.size() ? usable_group_scale(groups_[g].adScale) : 1.0;
}

// ---- Entities of the drawing.

int JwwPainter::line(bool dispmode, uint32_t dcol, const TEntJwwLine& e) const
{
    if (!ready())
        return NothingToDraw;
    stroke_pen(e.att, dispmode, dcol);
    if (dispmode)
        return gGraph2->GLLineDT(layer_of(e.att), e.att.nPenStyle, e.start_x, e.start_y, e.end_x, e.end_y);
    return gGraph2->GLLine(e.start_x, e.start_y, e.end_x, e.end_y);
}

int JwwPainter::enko(bool dispmode, uint32_t dcol, const TEntJwwEnko& e) const
{
    if (!ready())
        return NothingToDraw;
    stroke_pen(e.att, dispmode, dcol);
    const bool full = e.bZenEnFlg != 0;
    const double sa = full ? 0 : e.radKaishiKaku, da = full ? 2 * pi : e.radEnkoKaku;
    if (dispmode)
        return gGraph2->GLEllipseArcDT(layer_of(e.att), e.att.nPenStyle, e.start_x, e.start_y, e.dHankei,
            e.dHenpeiRitsu, e.radKatamukiKaku, sa, da);
    if (full)
        return gGraph2->GLEllipse(e.start_x, e.start_y, e.dHankei, e.dHenpeiRitsu, e.radKatamukiKaku);
    return gGraph2->GLEllipseArc(e.start_x, e.start_y, e.dHankei, e.dHenpeiRitsu, e.radKatamukiKaku, sa, da);
}

int JwwPainter::ten(bool dispmode, uint32_t dcol, const TEntJwwTen& e) const
{
    if (!ready())
        return NothingToDraw;
    const bool marker = e.att.nPenStyle == 100;
    return gGraph2->GLTenMarker(e.start_x, e.start_y, e.bKariten != 0, marker ? int(e.nCode) : 0,
        marker ? e.radKaitenKaku : 0, marker ? e.dBairitsu : 1, layer_of(e.att), e.att.nPenColor, e.att.nPenWidth,
        dcol);
}

int JwwPainter::solid(bool dispmode, uint32_t dcol, const TEntJwwSolid& e) const
{
    if (!ready())
        return NothingToDraw;
    solid_pen(e, dcol);
    if (e.att.nPenStyle > 100)
        return gGraph2->GLSolidArc(e.att.nPenStyle, e.start_x, e.start_y, e.end_x, e.end_y, e.DPoint2_x, e.DPoint2_y,
            e.DPoint3_x, e.DPoint3_y);
    return fill_points(
        { { e.start_x, e.start_y }, { e.end_x, e.end_y }, { e.DPoint2_x, e.DPoint2_y }, { e.DPoint3_x, e.DPoint3_y } });
}

int JwwPainter::moji(bool dispmode, uint32_t dcol, const TEntJwwMoji& e) const
{
    if (!ready())
        return NothingToDraw;
    const std::u16string& s = strings_.get(e.str);
    if (is_image_moji(s))
        return NothingToDraw;
    gLayerScale = group_scale(e.att.nGLayer);
    text_pen(e.att, dcol);
    const JwwTextPlacement p = moji_placement(e, strings_.get(e.strFontName));
    return gGraph2->GLAText3(p.x1, p.y1, p.x2, p.y2, p.h, p.w, p.sp, p.Ftyp, p.font, s);
}

int JwwPainter::image(bool dispmode, uint32_t dcol, const TEntJwwMoji& e) const
{
    if (!ready())
        return NothingToDraw;
    const std::u16string& s = strings_.get(e.str);
    if (!starts_with_bm(s))
        return NothingToDraw;
    std::u16string name;
    double W, H, drx, dry, drr, dan;
    int32_t r1, r2, r3;
    const bool simple = ParseImageMoji(s, name, W, H, drx, dry, drr, dan, r1, r2, r3);
    if (name.empty())
        return NothingToDraw;
    name = jww_image_path(folder_, name);
    if (name.empty())
        return NothingToDraw;
    const double x1 = e.start_x, y1 = e.start_y, x2 = x1 + W, y2 = y1 + H;
    if (dispmode) {
        if (simple)
            return gGraph2->GLImage(x1, y1, x2, y2, 1, name);
        return gGraph2->GLImage2(x1, y1, x2, y2, drx, dry, drr, dan, name);
    }
    text_pen(e.att, dcol);
    return gGraph2->GLBoxA(x1, y1, x2, y2, dan * pi / 180);
}

int JwwPainter::sunpo(bool dispmode, bool hojof, uint32_t dcol, const TEntJwwSunpo& e) const
{
    if (!ready())
        return NothingToDraw;
    int r = NothingToDraw;
    if (e.bSxfMode != 0) {
        for (const TEntJwwLine* h : { &e.Ho1, &e.Ho2 })
            if (!hojof || !is_aux_stroke(h->att))
                r = better(r, line(dispmode, dcol, *h));
        for (const TEntJwwTen* t : { &e.Te1, &e.Te2 })
            if (!hojof || !is_aux_color(t->att))
                r = better(r, ten(dispmode, dcol, *t));
    }
    if (!hojof || !is_aux_stroke(e.Sen.att))
        r = better(r, line(dispmode, dcol, e.Sen));
    if (!hojof || !is_aux_color(e.Moji.att))
        r = better(r, moji(dispmode, dcol, e.Moji));
    return r;
}

// ---- Entities of a block definition through a node.

int JwwPainter::line2(bool dispmode, uint32_t dcol, const TEntJwwLine& e, JwwTrans t) const
{
    if (!ready())
        return NothingToDraw;
    t = with_lf(t);
    stroke_pen(e.att, dispmode, dcol);
    double x1, y1, x2, y2;
    BlockTransLine(e.start_x, e.start_y, e.end_x, e.end_y, t.bx, t.by, t.b1, t.b2, t.b3, t.b4, t.sc, x1, y1, x2, y2);
    if (dispmode)
        return gGraph2->GLLineDT(layer_of(e.att), e.att.nPenStyle, x1, y1, x2, y2);
    return gGraph2->GLLine(x1, y1, x2, y2);
}

int JwwPainter::enko2(bool dispmode, uint32_t dcol, const TEntJwwEnko& e, JwwTrans t) const
{
    if (!ready())
        return NothingToDraw;
    t = with_lf(t);
    stroke_pen(e.att, dispmode, dcol);
    const bool full = e.bZenEnFlg != 0;
    const double sa = full ? 0 : e.radKaishiKaku, da = full ? 2 * pi : e.radEnkoKaku;
    const double cx = e.start_x, cy = e.start_y, r = e.dHankei, h = e.dHenpeiRitsu, a = e.radKatamukiKaku;
    if (dispmode)
        return gGraph2->GLEllipseArcBLDT(
            layer_of(e.att), e.att.nPenStyle, cx, cy, r, h, a, sa, da, t.bx, t.by, t.b1, t.b2, t.b3, t.b4, t.sc);
    if (full)
        return gGraph2->GLEllipseBL(cx, cy, r, h, a, t.bx, t.by, t.b1, t.b2, t.b3, t.b4, t.sc);
    return gGraph2->GLEllipseArcBL(cx, cy, r, h, a, sa, da, t.bx, t.by, t.b1, t.b2, t.b3, t.b4, t.sc);
}

int JwwPainter::solid2(bool dispmode, uint32_t dcol, const TEntJwwSolid& e, JwwTrans t) const
{
    if (!ready())
        return NothingToDraw;
    t = with_lf(t);
    solid_pen(e, dcol);
    if (e.att.nPenStyle > 100)
        return gGraph2->GLSolidArcBL(e.att.nPenStyle, e.start_x, e.start_y, e.end_x, e.end_y, e.DPoint2_x, e.DPoint2_y,
            e.DPoint3_x, e.DPoint3_y, t.bx, t.by, t.b1, t.b2, t.b3, t.b4, t.sc);
    TDPoint p[4];
    const double xs[4] = { e.start_x, e.end_x, e.DPoint2_x, e.DPoint3_x };
    const double ys[4] = { e.start_y, e.end_y, e.DPoint2_y, e.DPoint3_y };
    for (int i = 0; i < 4; ++i) {
        apply(t, xs[i], ys[i], p[i].X, p[i].Y);
        p[i].X /= t.sc;
        p[i].Y /= t.sc;
    }
    return fill_points({ p[0], p[1], p[2], p[3] });
}

int JwwPainter::ten2(bool dispmode, uint32_t dcol, const TEntJwwTen& e, JwwTrans t) const
{
    if (!ready())
        return NothingToDraw;
    t = with_lf(t);
    double x, y, a, ba;
    int pc;
    BlockTransTen(e.att.nPenStyle, int(e.nCode), e.start_x, e.start_y, e.radKaitenKaku, e.dBairitsu, t.bx, t.by, t.b1,
        t.b2, t.b3, t.b4, t.sc, x, y, pc, a, ba);
    return gGraph2->GLTenMarker(
        x, y, e.bKariten != 0, pc, a, ba, layer_of(e.att), e.att.nPenColor, e.att.nPenWidth, dcol);
}

int JwwPainter::image2(bool dispmode, uint32_t dcol, const TEntJwwMoji& e, JwwTrans t) const
{
    if (!ready())
        return NothingToDraw;
    t = with_lf(t);
    const std::u16string& s = strings_.get(e.str);
    if (!starts_with_bm(s))
        return NothingToDraw;
    std::u16string name;
    double W, H, drx, dry, drr, dan;
    int32_t r1, r2, r3;
    ParseImageMoji(s, name, W, H, drx, dry, drr, dan, r1, r2, r3);
    if (name.empty())
        return NothingToDraw;
    name = jww_image_path(folder_, name);
    if (name.empty())
        return NothingToDraw;
    const JwwImagePlacement p = image_placement_block(e, W, H, dan, t);
    if (dispmode)
        return gGraph2->GLImage2(p.x1, p.y1, p.x2, p.y2, drx, dry, drr, p.dan, name);
    text_pen(e.att, dcol);
    return gGraph2->GLBoxA(p.x1, p.y1, p.x2, p.y2, p.dan * pi / 180);
}

int JwwPainter::moji2(bool dispmode, uint32_t dcol, const TEntJwwMoji& e, JwwTrans t) const
{
    if (!ready())
        return NothingToDraw;
    const std::u16string& s = strings_.get(e.str);
    if (is_image_moji(s))
        return NothingToDraw;
    if (t.lf) {
        t.sc = 1;
        gLayerScale = group_scale(e.att.nGLayer);
    }
    text_pen(e.att, dcol);
    const JwwTextPlacement p = moji_placement_block(e, strings_.get(e.strFontName), t);
    return gGraph2->GLAText3(p.x1, p.y1, p.x2, p.y2, p.h, p.w, p.sp, p.Ftyp, p.font, s);
}

int JwwPainter::moji3(bool dispmode, uint32_t dcol, const std::u16string& sm, const TEntJwwMoji& e, JwwTrans t) const
{
    if (!ready())
        return NothingToDraw;
    if (t.lf) {
        t.sc = 1;
        gLayerScale = group_scale(e.att.nGLayer);
    }
    text_pen(e.att, dcol);
    const JwwTextPlacement p = moji_placement_fit(e, strings_.get(e.strFontName), sm, t);
    return gGraph2->GLAText3(p.x1, p.y1, p.x2, p.y2, p.h, p.w, p.sp, p.Ftyp, p.font, sm);
}

int JwwPainter::sunpo2(bool dispmode, bool hojof, uint32_t dcol, const TEntJwwSunpo& e, JwwTrans t) const
{
    if (!ready())
        return NothingToDraw;
    t = with_lf(t);
    int r = NothingToDraw;
    if (e.bSxfMode != 0) {
        for (const TEntJwwLine* h : { &e.Ho1, &e.Ho2 })
            if (!hojof || !is_aux_stroke(h->att))
                r = better(r, line2(dispmode, dcol, *h, t));
        for (const TEntJwwTen* p : { &e.Te1, &e.Te2 })
            if (!hojof || !is_aux_color(p->att))
                r = better(r, ten2(dispmode, dcol, *p, t));
    }
    if (!hojof || !is_aux_stroke(e.Sen.att))
        r = better(r, line2(dispmode, dcol, e.Sen, t));
    if (hojof && is_aux_color(e.Moji.att))
        return r;
    if (is_identity(t) || (e.Moji.att.nPenWidth & 0x2) == 0)
        return better(r, moji2(dispmode, dcol, e.Moji, t));
    const std::u16string sm = SunpoText(e.Moji.att.nPenWidth, e.Moji.att.sFlg, group_scale(e.Sen.att.nGLayer), t.bx,
        t.by, t.b1, t.b2, t.b3, t.b4, t.sc, { e.Sen.start_x, e.Sen.start_y }, { e.Sen.end_x, e.Sen.end_y });
    return better(r, moji3(dispmode, dcol, sm, e.Moji, t));
}

// ---- Everything.

void JwwPainter::draw_lists(const JwwEntities& ents, const JwwTrans* t, bool dispmode, bool hide) const
{
    auto skip_color = [hide](const TEntJwwAttr& a) { return hidden(layer_of(a)) || (hide && is_aux_color(a)); };
    auto skip_stroke = [hide](const TEntJwwAttr& a) { return hidden(layer_of(a)) || (hide && is_aux_stroke(a)); };
    // Each kind through its operation in drawing units, or through the node's transform when there is one.
    auto each = [&](const auto& list, auto skip, auto plain, auto through) {
        for (const auto& e : list)
            if (!skip(e.att))
                t ? (this->*through)(dispmode, 0, e, *t) : (this->*plain)(dispmode, 0, e);
    };
    each(ents.moji, skip_color, &JwwPainter::image, &JwwPainter::image2);
    each(ents.solid, skip_color, &JwwPainter::solid, &JwwPainter::solid2);
    each(ents.line, skip_stroke, &JwwPainter::line, &JwwPainter::line2);
    each(ents.enko, skip_stroke, &JwwPainter::enko, &JwwPainter::enko2);
    each(ents.ten, skip_color, &JwwPainter::ten, &JwwPainter::ten2);
    each(ents.moji, skip_color, &JwwPainter::moji, &JwwPainter::moji2);
    // A dimension's parts are tested one by one inside; here only its layer counts.
    for (const auto& e : ents.sunpo)
        if (!hidden(layer_of(e.att)))
            t ? sunpo2(dispmode, hide, 0, e, *t) : sunpo(dispmode, hide, 0, e);
}

void JwwPainter::draw_all(const JwwEntities& ents) const
{
    if (!ready())
        return;
    const bool dispmode = gGraAtt->GetDisplayMode();
    if (dispmode)
        gGraph2->GLSetDT();
    const bool hide = gGraAtt->GetDispHojo() == 0;
    draw_lists(ents, nullptr, dispmode, hide);
    for (const auto& node : ents.tree) {
        gLayerScale = group_scale(node.att.nGLayer);
        if (node.defno < 0 || size_t(node.defno) >= ents.defs.size())
            continue;
        const JwwTrans t = node_trans(node);
        draw_lists(definition_entities(ents.defs[size_t(node.defno)]), &t, dispmode, hide);
    }
}

// ---- Layer states.

void jww_set_layers(std::span<const TEntJwwLayerGroup> groups, std::span<const TEntJwwLayer> layers, bool all_shown)
{
    if (!gGraAtt)
        return;
    gGraAtt->SetDefaultLayer();
    for (int32_t n = 0; n < 256; ++n) {
        const size_t g = size_t(n / 16);
        const TEntJwwLayerGroup* grp = g < groups.size() ? &groups[g] : nullptr;
        const double sc = 1.0 / usable_group_scale(grp ? grp->adScale : 1.0);
        if (all_shown) {
            gGraAtt->SetAttrLayer(n, 1, sc);
            continue;
        }
        const TEntJwwLayer* lay = size_t(n) < layers.size() ? &layers[size_t(n)] : nullptr;
        const int32_t st = jww_layer_state(grp ? grp->anGLay : 2, lay ? lay->aanLay : 2);
        static const std::u16string none;
        gGraAtt->SetAttrLayer(n, st, sc, grp ? grp->aStrGLayName : none, lay ? lay->aStrLayName : none);
    }
}

} // namespace detail

// ---- TJwwData.

using detail::block_trans;
using detail::jww_painter;

void TJwwData::SetGAttLayer() { detail::jww_set_layers(EntLgrp, EntLay, false); }

void TJwwData::GLDrawALL() { jww_painter(*this).draw_all(detail::jww_entities(*this)); }

int TJwwData::GLDrawImage(bool dispmode, uint32_t dcol, const TEntJwwMoji& e)
{
    return jww_painter(*this).image(dispmode, dcol, e);
}
int TJwwData::GLDrawSolid(bool dispmode, uint32_t dcol, const TEntJwwSolid& e)
{
    return jww_painter(*this).solid(dispmode, dcol, e);
}
int TJwwData::GLDrawLine(bool dispmode, uint32_t dcol, const TEntJwwLine& e)
{
    return jww_painter(*this).line(dispmode, dcol, e);
}
int TJwwData::GLDrawEnko(bool dispmode, uint32_t dcol, const TEntJwwEnko& e)
{
    return jww_painter(*this).enko(dispmode, dcol, e);
}
int TJwwData::GLDrawTen(bool dispmode, uint32_t dcol, const TEntJwwTen& e)
{
    return jww_painter(*this).ten(dispmode, dcol, e);
}
int TJwwData::GLDrawMoji(bool dispmode, uint32_t dcol, const TEntJwwMoji& e)
{
    return jww_painter(*this).moji(dispmode, dcol, e);
}
int TJwwData::GLDrawSunpo(bool dispmode, bool hojof, uint32_t dcol, const TEntJwwSunpo& e)
{
    return jww_painter(*this).sunpo(dispmode, hojof, dcol, e);
}
int TJwwData::GLDrawImage2(bool dispmode, uint32_t dcol, const TEntJwwMoji& e, bool lf, double sc, double bx, double by,
    double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).image2(dispmode, dcol, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
int TJwwData::GLDrawSolid2(bool dispmode, uint32_t dcol, const TEntJwwSolid& e, bool lf, double sc, double bx,
    double by, double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).solid2(dispmode, dcol, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
int TJwwData::GLDrawLine2(bool dispmode, uint32_t dcol, const TEntJwwLine& e, bool lf, double sc, double bx, double by,
    double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).line2(dispmode, dcol, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
int TJwwData::GLDrawEnko2(bool dispmode, uint32_t dcol, const TEntJwwEnko& e, bool lf, double sc, double bx, double by,
    double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).enko2(dispmode, dcol, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
int TJwwData::GLDrawTen2(bool dispmode, uint32_t dcol, const TEntJwwTen& e, bool lf, double sc, double bx, double by,
    double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).ten2(dispmode, dcol, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
int TJwwData::GLDrawMoji2(bool dispmode, uint32_t dcol, const TEntJwwMoji& e, bool lf, double sc, double bx, double by,
    double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).moji2(dispmode, dcol, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
int TJwwData::GLDrawSunpo2(bool dispmode, bool hojof, uint32_t dcol, const TEntJwwSunpo& e, bool lf, double sc,
    double bx, double by, double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).sunpo2(dispmode, hojof, dcol, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
int TJwwData::GLDrawMoji3(bool dispmode, uint32_t dcol, const std::u16string& sm, const TEntJwwMoji& e, bool lf,
    double sc, double bx, double by, double b1, double b2, double b3, double b4)
{
    return jww_painter(*this).moji3(dispmode, dcol, sm, e, block_trans(lf, sc, bx, by, b1, b2, b3, b4));
}
