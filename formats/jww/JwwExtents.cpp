// Extents and paper size of JWW records, shared by the ".jww" and ".jws" documents.
#include <cmath>
#include <numbers>

#include "formats/jww/JwwDraw.h"
#include "formats/jww/JwwUnit.h"
#include "globals/UnitVal.h"
#include "util/Func_2.h"
#include "util/PaperSize.h"

namespace detail {
namespace {

constexpr double kTiny = 1e-12;

// Widens the extents by points of the drawing, or of a definition through a node's transform.
class Extents {
public:
    explicit Extents(const TEntJwwBlockTree* node)
        : node_(node)
    {
    }

    void add(double x, double y) const
    {
        if (node_)
            MinMaxAddTrans(
                gMinX, gMinY, gMaxX, gMaxY, x, y, node_->x, node_->y, node_->r1, node_->r2, node_->r3, node_->r4, 1);
        else
            MinMaxAdd(gMinX, gMinY, gMaxX, gMaxY, x, y, 1);
    }
    void add_line(const TEntJwwLine& l) const
    {
        add(l.start_x, l.start_y);
        add(l.end_x, l.end_y);
    }
    template <size_t N> void add(const std::array<TDPoint, N>& pts) const
    {
        for (const auto& p : pts)
            add(p.X, p.Y);
    }

private:
    const TEntJwwBlockTree* node_;
};

void add_moji(const Extents& ex, const TEntJwwMoji& e, const JwwStringPool& strings)
{
    if (SamePointE12(e.start_x, e.start_y, e.end_x, e.end_y))
        return;
    ex.add(e.start_x, e.start_y);
    ex.add(e.end_x, e.end_y);
    const std::u16string& s = strings.get(e.str);
    if (s.compare(0, 4, u"^@BM") != 0)
        return;
    std::u16string name;
    double w, h, tx, ty, ratio, angle;
    int32_t r1, r2, r3;
    ParseImageMoji(s, name, w, h, tx, ty, ratio, angle, r1, r2, r3);
    ex.add(e.start_x + w, e.start_y + h);
}

void add_solid(const Extents& ex, const TEntJwwSolid& e)
{
    const int sty = e.att.nPenStyle;
    if (sty < 101) {
        ex.add(e.start_x, e.start_y);
        ex.add(e.end_x, e.end_y);
        ex.add(e.DPoint2_x, e.DPoint2_y);
        ex.add(e.DPoint3_x, e.DPoint3_y);
        return;
    }
    const double cx = e.start_x, cy = e.start_y, r = e.end_x, h = e.end_y, a = e.DPoint2_x;
    const double sa = e.DPoint2_y, da = e.DPoint3_x, zf = e.DPoint3_y;
    if (sty == 101 && std::fabs(zf) <= kTiny) {
        ex.add(cx, cy);
    } else if (sty == 101 && std::fabs(zf + 1) <= kTiny) {
        double sx, sy, fx, fy, tx, ty;
        EllipseArcInfo(cx, cy, r, h, sa, da, a, sx, sy, fx, fy, tx, ty);
        ex.add(tx, ty);
    }
    const bool whole = (sty == 101 || sty == 111) && std::fabs(zf - 100) <= kTiny;
    ex.add(ellipse_arc_points(cx, cy, r, h, a, sa, whole ? std::numbers::pi / 36 : da / 72));
}

// Every point of the lists except block inserts, in the order of the rule.
void add_entities(const Extents& ex, const JwwEntities& ents, const JwwStringPool& strings)
{
    for (const auto& e : ents.line)
        ex.add_line(e);
    for (const auto& e : ents.enko) {
        if (e.bZenEnFlg != 0)
            ex.add(ellipse_axis_points(e.start_x, e.start_y, e.dHankei, e.dHenpeiRitsu, e.radKatamukiKaku));
        else
            ex.add(ellipse_arc_points(e.start_x, e.start_y, e.dHankei, e.dHenpeiRitsu, e.radKatamukiKaku,
                e.radKaishiKaku, e.radEnkoKaku / 72));
    }
    for (const auto& e : ents.ten)
        ex.add(e.start_x, e.start_y);
    for (const auto& e : ents.moji)
        add_moji(ex, e, strings);
    for (const auto& e : ents.sunpo) {
        ex.add_line(e.Sen);
        ex.add(e.Moji.start_x, e.Moji.start_y);
        ex.add(e.Moji.end_x, e.Moji.end_y);
        if (e.bSxfMode != 0) {
            ex.add_line(e.Ho1);
            ex.add_line(e.Ho2);
        }
    }
    for (const auto& e : ents.solid)
        add_solid(ex, e);
}

// The point the extents start from: the first entity of the first kind that offers one.
std::optional<TDPoint> first_point(const JwwEntities& ents)
{
    if (!ents.line.empty())
        return TDPoint { ents.line[0].start_x, ents.line[0].start_y };
    if (!ents.enko.empty())
        return TDPoint { ents.enko[0].start_x, ents.enko[0].start_y };
    if (!ents.ten.empty())
        return TDPoint { ents.ten[0].start_x, ents.ten[0].start_y };
    if (!ents.moji.empty()
        && !SamePointE12(ents.moji[0].start_x, ents.moji[0].start_y, ents.moji[0].end_x, ents.moji[0].end_y))
        return TDPoint { ents.moji[0].start_x, ents.moji[0].start_y };
    if (!ents.sunpo.empty())
        return TDPoint { ents.sunpo[0].Sen.start_x, ents.sunpo[0].Sen.start_y };
    if (!ents.solid.empty())
        return TDPoint { ents.solid[0].start_x, ents.solid[0].start_y };
    if (!ents.block.empty())
        return TDPoint { ents.block[0].DPKijunTen_x, ents.block[0].DPKijunTen_y };
    return std::nullopt;
}

} // namespace

void jww_extents(const JwwEntities& ents, const JwwStringPool& strings, std::optional<TDPoint> start)
{
    if (!start)
        start = first_point(ents);
    if (start)
        MinMaxInit(gMinX, gMinY, gMaxX, gMaxY, start->X, start->Y, 1);
    add_entities(Extents(nullptr), ents, strings);
    for (const auto& node : ents.tree) {
        if (node.defno < 0 || size_t(node.defno) >= ents.defs.size())
            continue;
        add_entities(Extents(&node), definition_entities(ents.defs[size_t(node.defno)]), strings);
    }
    if (std::fabs(gMaxX - gMinX) <= kTiny && std::fabs(gMaxY - gMinY) <= kTiny) {
        gMinX -= 10;
        gMinY -= 10;
        gMaxX += 10;
        gMaxY += 10;
    }
}

} // namespace detail

void TJwwData::GetMinMaxZahyo() { detail::jww_extents(detail::jww_entities(*this), strings(), std::nullopt); }

void TJwwData::GetPaperSize(double& px, double& py) const
{
    const detail::PaperSize p = detail::paper_size(Enthd.nZumen);
    px = p.x;
    py = p.y;
}
