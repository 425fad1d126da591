// In-memory JWW and JWS documents and a recording scene for the drawing and extents tests.
#pragma once
#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "formats/jww/JwsUnit.h"
#include "formats/jww/JwwUnit.h"
#include "globals/UnitVal.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"
#include "platform/DisplayList.h"
#include "tests/support/jww_writer.h"

namespace jwwdrawtest {

using Op = platform::DisplayList::Op;
using Record = platform::DisplayList::Record;

// Appends records to a document's lists (or a definition's) the way the reader leaves them.
template <class Doc> class Builder {
public:
    explicit Builder(Doc& d)
        : d_(d)
    {
    }

    void add(const TEntJwwLine& e) { push(d_.EntLine, d_.EntLineN, e); }
    void add(const TEntJwwEnko& e) { push(d_.EntEnko, d_.EntEnkoN, e); }
    void add(const TEntJwwTen& e) { push(d_.EntTen, d_.EntTenN, e); }
    void add(const TEntJwwSolid& e) { push(d_.EntSolid, d_.EntSolidN, e); }
    void add(const TEntJwwBlock& e) { push(d_.EntBlock, d_.EntBlockN, e); }
    void add(TEntJwwMoji e, const std::u16string& str, const std::u16string& font = u"ＭＳ ゴシック")
    {
        e.strFontName = d_.add_text(font);
        e.str = d_.add_text(str);
        push(d_.EntMoji, d_.EntMojiN, e);
    }
    void add(TEntJwwSunpo e, const std::u16string& str, const std::u16string& font = u"ＭＳ ゴシック")
    {
        e.Moji.strFontName = d_.add_text(font);
        e.Moji.str = d_.add_text(str);
        push(d_.EntSunpo, d_.EntSunpoN, e);
    }
    // A definition; fill its lists through the returned reference, then call done().
    TEntJwwBlockDef& def(uint32_t number, TEntJwwAttr a = jwwtest::attr())
    {
        TEntJwwBlockDef& def = d_.EntBlockDef.emplace_back();
        def.att = a;
        def.nNumber = number;
        d_.EntBlockDefN = int32_t(d_.EntBlockDef.size());
        return def;
    }
    void done() { d_.MakeBlockTree(); }

private:
    template <class T> static void push(std::vector<T>& v, int32_t& n, const T& e)
    {
        v.push_back(e);
        n = int32_t(v.size());
    }
    Doc& d_;
};

inline void def_add(TEntJwwBlockDef& d, const TEntJwwLine& e)
{
    d.mLine.push_back(e);
    d.mLineN = int32_t(d.mLine.size());
}
inline void def_add(TEntJwwBlockDef& d, const TEntJwwTen& e)
{
    d.mTen.push_back(e);
    d.mTenN = int32_t(d.mTen.size());
}
inline void def_add(TEntJwwBlockDef& d, const TEntJwwBlock& e)
{
    d.mBlock.push_back(e);
    d.mBlockN = int32_t(d.mBlock.size());
}
inline void def_add(TEntJwwBlockDef& d, const TEntJwwSunpo& e)
{
    d.mSunpo.push_back(e);
    d.mSunpoN = int32_t(d.mSunpo.size());
}

// Header tables of a plain drawing: every group and layer shown, group scales 1.
inline void plain_tables(TJwwData& d)
{
    TEntJwwLayerGroup g;
    g.anGLay = 2;
    g.adScale = 1;
    d.EntLgrp.assign(16, g);
    TEntJwwLayer l;
    l.aanLay = 2;
    d.EntLay.assign(256, l);
}

// A dimension with its line from (x1, y) to (x2, y) and its value text above it.
inline TEntJwwSunpo dimension(double x1, double x2, double y, TEntJwwAttr a = jwwtest::attr())
{
    TEntJwwSunpo s;
    s.att = a;
    s.Sen = jwwtest::line(x1, y, x2, y, a);
    s.Moji = jwwtest::text(x1, y + 1, x2, y + 1, 3, 3, 0, 1, a);
    return s;
}

// gGraAtt as the driver sets it up, and gGraph2 on a recording canvas showing (0, 0)-(200, 200) at 5 px/mm.
class Scene : public ::testing::Test {
public:
    void SetUp() override
    {
        att = std::make_unique<TgraAttribute>();
        detail::start_attributes(*att, 0);
        gGraAtt = att.get();
        gDispX1 = 0;
        gDispY1 = 0;
        gDispX2 = 200;
        gDispY2 = 200;
        gDispScale = 5;
        gDispWidth = 1000;
        gDispHeight = 1000;
        canvas = std::make_unique<platform::DisplayList>(1000, 1000);
        graph = std::make_unique<TGraph2>(canvas.get());
        gGraph2 = graph.get();
        gLayerScale = 1.0;
    }
    void TearDown() override
    {
        gGraph2 = nullptr;
        gGraAtt = nullptr;
    }

    // Where a drawing point lands on the bitmap.
    static platform::PointF dev(double x, double y)
    {
        return { float((x - gDispX1) * gDispScale), float(gDispHeight - (y - gDispY1) * gDispScale) };
    }
    // The characters of every text record, in call order.
    std::u16string printed() const
    {
        std::u16string s;
        for (const Record* r : canvas->of(Op::Text))
            s += r->text;
        return s;
    }
    // True when a line record runs from a to b (either way) within tol pixels.
    bool has_line(platform::PointF a, platform::PointF b, double tol = 0.6) const
    {
        auto near = [tol](platform::PointF p, platform::PointF q) {
            return std::fabs(p.X - q.X) <= tol && std::fabs(p.Y - q.Y) <= tol;
        };
        for (const Record* r : canvas->of(Op::Line))
            if ((near(r->pts[0], a) && near(r->pts[1], b)) || (near(r->pts[0], b) && near(r->pts[1], a)))
                return true;
        return false;
    }

    std::unique_ptr<TgraAttribute> att;
    std::unique_ptr<platform::DisplayList> canvas;
    std::unique_ptr<TGraph2> graph;
};

} // namespace jwwdrawtest
