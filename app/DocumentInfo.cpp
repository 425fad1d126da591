// What a loaded drawing holds: header, paper, layers, entity counts, blocks, fonts, images, text variables.
#include "app/DocumentInfo.h"

#include <algorithm>
#include <functional>
#include <set>
#include <span>

#include "app/DocumentType.h"
#include "app/Unit1.h"
#include "formats/jwc/JwcUnit.h"
#include "formats/jwc/JwkUnit.h"
#include "formats/jww/JwsUnit.h"
#include "formats/jww/JwwUnit.h"
#include "formats/m7/M7Unit.h"
#include "globals/UnitVal.h"
#include "graphics/TextVariables.h"
#include "graphics/UnitGraAtt.h"
#include "util/Func_2.h"

namespace detail {
namespace {

const char* state_name(int32_t sta)
{
    switch (sta) {
    case 2: return "greyed";
    case 3: return "hidden";
    default: return "shown";
    }
}

// Group and layer states of the Jw formats and M7: 0 hidden, 1 greyed, anything else shown.
const char* stored_state_name(int32_t st) { return st == 0 ? "hidden" : st == 1 ? "greyed" : "shown"; }

// The kind of an image file by its name, a ".gz" ending set aside.
std::string image_kind(std::u16string name)
{
    name = LowerText(name);
    if (name.size() > 3 && name.ends_with(u".gz"))
        name.resize(name.size() - 3);
    static const std::pair<std::u16string_view, const char*> kinds[] = { { u".bmp", "bmp" }, { u".png", "png" },
        { u".jpg", "jpeg" }, { u".jpeg", "jpeg" }, { u".gif", "gif" }, { u".tif", "tiff" }, { u".tiff", "tiff" } };
    for (const auto& [ext, kind] : kinds)
        if (name.ends_with(ext))
            return kind;
    return "";
}

std::string m7_image_kind(int32_t typ)
{
    switch (typ) {
    case 1: return "jpeg";
    case 2: return "png";
    case 10: return "gif";
    case 11: return "tiff";
    case 12: return "bmp";
    default: return "";
    }
}

template <class T> std::span<const T> in_use(const std::vector<T>& v, int32_t n)
{
    return { v.data(), std::min(v.size(), size_t(std::max(n, 0))) };
}

// Texts as they are drawn: fonts, image references and text variables.
class TextScan {
public:
    explicit TextScan(EraTokens era)
        : era_(era)
    {
    }

    void text(const std::u16string& s, const std::u16string& font = {})
    {
        if (!font.empty())
            fonts_.insert(font);
        if (s.starts_with(u"^@BM")) {
            std::u16string name;
            double w, h, tx, ty, ratio, angle;
            int32_t r1, r2, r3;
            if (ParseImageMoji(s, name, w, h, tx, ty, ratio, angle, r1, r2, r3) && !name.empty())
                images_.insert(name);
            return;
        }
        if (!may_be_text_variable(s))
            return;
        std::u16string value = s;
        if (expand_text_variable(value, TextVarSources {}, era_))
            variables_.insert(s);
    }
    void font(const std::u16string& f)
    {
        if (!f.empty())
            fonts_.insert(f);
    }

    void store(DocumentInfo& info) const
    {
        info.fonts.assign(fonts_.begin(), fonts_.end());
        info.referenced_images.assign(images_.begin(), images_.end());
        info.text_variables.assign(variables_.begin(), variables_.end());
    }

private:
    EraTokens era_;
    std::set<std::u16string> fonts_;
    std::set<std::u16string> images_;
    std::set<std::u16string> variables_;
};

// Layers of the Jw formats as the drawing shows them, after the loading step set the attribute tables.
std::vector<LayerInfo> jw_layers(int group, const std::function<std::u16string(int)>& name)
{
    std::vector<LayerInfo> layers;
    for (int l = 0; l < 16; ++l) {
        const int n = group * 16 + l;
        layers.push_back({ l, name(n), state_name(gGraAtt ? gGraAtt->GetAttrLayerState(n) : 1) });
    }
    return layers;
}

// Entities, blocks, fonts and texts of the two documents built of JWW records.
template <class Doc> void describe_jww_records(const Doc& d, DocumentInfo& info)
{
    int64_t lines = d.EntLineN, arcs = d.EntEnkoN, points = d.EntTenN, texts = 0, images = 0;
    int64_t dims = d.EntSunpoN, solids = d.EntSolidN, inserts = d.EntBlockN;
    TextScan scan(EraTokens::Expand);
    auto moji = [&](const TEntJwwMoji& m, bool counted) {
        const std::u16string& s = d.text(m.str);
        if (counted)
            (s.starts_with(u"^@BM") ? images : texts) += 1;
        scan.text(s, d.text(m.strFontName));
    };
    for (const TEntJwwMoji& m : in_use(d.EntMoji, d.EntMojiN))
        moji(m, true);
    for (const TEntJwwSunpo& s : in_use(d.EntSunpo, d.EntSunpoN))
        moji(s.Moji, false);
    std::vector<int64_t> uses(size_t(std::max(d.EntBlockDefN, 0)), 0);
    auto count_insert = [&](const TEntJwwBlock& b) {
        for (size_t i = 0; i < uses.size(); ++i)
            if (d.EntBlockDef[i].nNumber == b.nNumber)
                ++uses[i];
    };
    for (const TEntJwwBlock& b : in_use(d.EntBlock, d.EntBlockN))
        count_insert(b);
    for (const TEntJwwBlockDef& def : in_use(d.EntBlockDef, d.EntBlockDefN)) {
        for (const TEntJwwMoji& m : in_use(def.mMoji, def.mMojiN))
            moji(m, false);
        for (const TEntJwwSunpo& s : in_use(def.mSunpo, def.mSunpoN))
            moji(s.Moji, false);
        for (const TEntJwwBlock& b : in_use(def.mBlock, def.mBlockN))
            count_insert(b);
    }
    size_t i = 0;
    for (const TEntJwwBlockDef& def : in_use(d.EntBlockDef, d.EntBlockDefN)) {
        const int64_t n = int64_t(def.mLineN) + def.mEnkoN + def.mTenN + def.mMojiN + def.mSunpoN + def.mSolidN
            + def.mBlockN;
        info.blocks.push_back({ int64_t(def.nNumber), def.strName, n, uses[i++] });
    }
    info.block_inserts = inserts;
    info.block_instances = std::max(d.EntBlockTreeN, 0);
    info.entities = { { "line", lines }, { "arc", arcs }, { "point", points }, { "text", texts }, { "image", images },
        { "dimension", dims }, { "solid", solids }, { "block_insert", inserts } };
    for (const TBindImageType& b : in_use(d.BindImage, d.BindImageN))
        info.embedded_images.push_back({ b.Fname, image_kind(b.Fname), b.Fsize });
    scan.store(info);
}

void describe_jww(const TJwwData& d, DocumentInfo& info)
{
    const TEntJwwHeader& hd = d.Enthd;
    info.version = hd.jwVer;
    info.memo = hd.strMemo;
    info.paper_code = hd.nZumen;
    info.paper_from = "code";
    info.print_scale = hd.dPrtBairitsu;
    if (hd.nWriteGLay >= 0 && size_t(hd.nWriteGLay) < d.EntLgrp.size())
        info.scale = d.EntLgrp[size_t(hd.nWriteGLay)].adScale;
    for (size_t g = 0; g < d.EntLgrp.size() && g < 16; ++g) {
        const TEntJwwLayerGroup& grp = d.EntLgrp[g];
        info.layer_groups.push_back(
            { int(g), grp.aStrGLayName, stored_state_name(grp.anGLay), grp.adScale, jw_layers(int(g), [&](int n) {
                 return size_t(n) < d.EntLay.size() ? d.EntLay[size_t(n)].aStrLayName : u"";
             }) });
    }
    describe_jww_records(d, info);
}

void describe_jws(const TJwsData& d, DocumentInfo& info)
{
    info.version = d.Enthd.jwVer;
    info.paper_from = "extents";
    for (size_t g = 0; g < d.EntLgrp.size() && g < 16; ++g)
        info.layer_groups.push_back(
            { int(g), u"", "shown", d.EntLgrp[g].adScale, jw_layers(int(g), [](int) { return std::u16string(); }) });
    describe_jww_records(d, info);
}

template <class Doc> void describe_jwc_texts(const Doc& d, int32_t n, DocumentInfo& info)
{
    TextScan scan(EraTokens::Expand);
    for (const TEntJwcMoji2& m : in_use(d.EntMoji, n))
        scan.text(m.s);
    scan.store(info);
}

void describe_jwc(const TJwcData& d, DocumentInfo& info)
{
    const TEntJwcHeader& hd = d.Enthd;
    info.memo = hd.comment2.empty() ? hd.comment1 : hd.comment1 + u"\n" + hd.comment2;
    info.paper_code = hd.psize;
    info.paper_from = "code";
    info.scale = hd.wLayScale;
    for (size_t g = 0; g < d.EntLgrp.size() && g < 16; ++g) {
        const TEntJwcLayerGroup& grp = d.EntLgrp[g];
        const char* st = !(grp.dispF & 1) ? "hidden" : !(grp.srchF & 1) ? "greyed" : "shown";
        info.layer_groups.push_back({ int(g), grp.name, st, grp.scale,
            jw_layers(int(g), [&](int n) { return size_t(n) < d.EntLay.size() ? d.EntLay[size_t(n)].name : u""; }) });
    }
    info.entities = { { "line", d.lineN }, { "arc", d.arcN }, { "point", d.tenN }, { "text", d.mojiN },
        { "temporary_point", d.vten_in_use() } };
    describe_jwc_texts(d, d.mojiN, info);
}

void describe_jwk(const TJwkData& d, DocumentInfo& info)
{
    const TEntJwkHeader& hd = d.Enthd;
    info.memo = hd.comment2.empty() ? hd.comment1 : hd.comment1 + u"\n" + hd.comment2;
    info.paper_from = "extents";
    info.scale = d.symbol_scale();
    info.entities = { { "line", d.lineN }, { "arc", d.arcN }, { "point", d.tenN }, { "text", d.mojiN } };
    describe_jwc_texts(d, d.mojiN, info);
}

void describe_m7(const TM7Data& d, DocumentInfo& info)
{
    info.paper_code = d.psz.typ;
    info.paper_from = "document";
    if (d.li.current < 16)
        info.scale = d.li.grp[d.li.current].scale;
    for (size_t g = 0; g < 16; ++g) {
        const TM7LayerGroupField& grp = d.li.grp[g];
        LayerGroupInfo gi { int(g), grp.text, stored_state_name(grp.state), grp.scale, {} };
        for (size_t l = 0; l < grp.tab.size(); ++l) {
            const TM7LayerField& lay = grp.tab[l];
            const char* st = grp.state == 0 || lay.state == 0 ? "hidden"
                : grp.state == 1 || lay.state == 1            ? "greyed"
                                                              : "shown";
            gi.layers.push_back({ int(l), lay.text, st });
        }
        info.layer_groups.push_back(std::move(gi));
    }
    info.entities = { { "point", d.ptN }, { "line", int64_t(d.lnN) + d.lnxN }, { "circle", int64_t(d.crN) + d.crxN },
        { "ellipse", int64_t(d.epN) + d.epxN }, { "text", int64_t(d.txN) + d.txxN },
        { "polyline", int64_t(d.plN) + d.plxN }, { "bezier", int64_t(d.bzN) + d.bzxN },
        { "polygon", int64_t(d.pgN) + d.pggN + d.pgmN }, { "image", int64_t(d.bmN) + d.bmxN }, { "symbol", d.syN },
        { "group", int64_t(d.grN) + d.grdimN + d.grqleN + d.grbarN } };
    TextScan scan(EraTokens::Keep);
    for (const TM7ObjectText& t : in_use(d.tx, d.txN)) {
        scan.text(t.text);
        if (t.style < d.txtstl.size())
            scan.font(d.txtstl[t.style].font);
    }
    for (const TM7ObjectTextEx& t : in_use(d.txx, d.txxN)) {
        scan.text(t.text);
        scan.font(t.ex.font);
    }
    scan.store(info);
    for (const TM7ObjectBitmap& b : in_use(d.bm, d.bmN))
        info.embedded_images.push_back({ u"", m7_image_kind(b.typ), int64_t(b.bmp.size()) });
    for (const TM7ObjectBitmapEx& b : in_use(d.bmx, d.bmxN))
        info.embedded_images.push_back({ u"", m7_image_kind(b.typ), int64_t(b.bmp.size()) });
}

} // namespace

DocumentInfo describe_document(TForm1& form, const std::u16string& src)
{
    DocumentInfo info;
    const DocumentType* type = document_type_of_path(src);
    if (!type)
        return info;
    info.format = std::string(type->name);
    // Telling what a drawing holds writes nothing: stored images are read past, not extracted.
    form.JWW1->BindImageExp = false;
    info.readable = (form.*type->load)(src);
    info.title = gDrawTitle;
    info.paper_width = form.papx;
    info.paper_height = form.papy;
    info.min_x = gMinX;
    info.min_y = gMinY;
    info.max_x = gMaxX;
    info.max_y = gMaxY;
    switch (type->t) {
    case 1: describe_m7(*form.M7, info); break;
    case 2: describe_jww(*form.JWW1, info); break;
    case 3: describe_jws(*form.JWS, info); break;
    case 4: describe_jwc(*form.JWC, info); break;
    case 5: describe_jwk(*form.JWK, info); break;
    default: break;
    }
    return info;
}

} // namespace detail
