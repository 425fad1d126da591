// Font-name mapping to the IPA families and the fontconfig-backed cache of Cairo font faces.
#include "platform/Fonts.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <mutex>
#include <string>
#include <unordered_map>

namespace platform {

namespace {

// Folds the spellings a drawing may use into one form: full-width ASCII and blanks to ASCII,
// no blanks, ASCII lower case. Japanese letters are kept as they are.
std::u16string fold_font_name(std::u16string_view name)
{
    while (!name.empty() && (name.front() == u'@' || name.front() == u'＠'))
        name.remove_prefix(1);
    std::u16string out;
    out.reserve(name.size());
    for (char16_t c : name) {
        if (c >= 0xFF01 && c <= 0xFF5E)
            c = char16_t(c - 0xFEE0);
        if (c == u' ' || c == 0x3000 || c == u'-' || c == u'_' || c < 0x20)
            continue;
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
        out.push_back(c);
    }
    return out;
}

bool has(const std::u16string& s, std::u16string_view part) { return s.find(part) != std::u16string::npos; }

bool starts(const std::u16string& s, std::u16string_view part) { return s.rfind(part, 0) == 0; }

} // namespace

std::string font_family_for(std::u16string_view drawing_name)
{
    const std::u16string n = fold_font_name(drawing_name);

    const bool mincho = has(n, u"明朝") || has(n, u"mincho") || has(n, u"ﾐﾝﾁｮｳ") || has(n, u"ミンチョウ");
    const bool gothic = has(n, u"ゴシック") || has(n, u"ｺﾞｼｯｸ") || has(n, u"gothic") || has(n, u"meiryo")
        || has(n, u"メイリオ");
    // Proportional spellings: "ＭＳ Ｐゴシック", "MS PMincho", "MS UI Gothic", the HGP/HGS families and
    // the Meiryo and Yu families, which have no fixed-pitch form.
    const bool proportional = starts(n, u"msp") || has(n, u"pゴシック") || has(n, u"pｺﾞｼｯｸ") || has(n, u"p明朝")
        || has(n, u"pﾐﾝﾁｮｳ") || has(n, u"pgothic") || has(n, u"pmincho") || has(n, u"uigothic") || starts(n, u"hgp")
        || starts(n, u"hgs") || has(n, u"meiryo") || has(n, u"メイリオ") || has(n, u"游") || starts(n, u"yu");

    if (mincho)
        return proportional ? "IPAPMincho" : "IPAMincho";
    if (gothic)
        return proportional ? "IPAPGothic" : "IPAGothic";
    return kFallbackFamily;
}

struct FontCache::Impl {
    std::mutex lock;
    std::unordered_map<std::string, FontFace> faces;
    size_t lookups = 0;

    ~Impl()
    {
        for (auto& [key, f] : faces)
            cairo_font_face_destroy(f.face);
    }
};

namespace {

FcPattern* match_pattern(const std::string& family, bool bold, bool italic)
{
    FcPattern* p = FcPatternCreate();
    if (!p)
        return nullptr;
    FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    // When the family is missing, prefer a face that can show Japanese over one that shows boxes.
    FcPatternAddString(p, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcPatternAddInteger(p, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(p, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult result = FcResultNoMatch;
    FcPattern* m = FcFontMatch(nullptr, p, &result);
    FcPatternDestroy(p);
    return m;
}

// Where the em box's top lies above the baseline, per unit of font size. CJK fonts set their
// typographic ascender and descender to span exactly one em; others are normalised to one em.
// Also whether the face is an italic design.
struct FaceMetrics {
    double em_ascent = 0.88;
    bool italic = false;
};

FaceMetrics metrics_of(cairo_font_face_t* face)
{
    FaceMetrics out;
    double& ascent = out.em_ascent;
    cairo_matrix_t size, ctm;
    cairo_matrix_init_scale(&size, 1000, 1000);
    cairo_matrix_init_identity(&ctm);
    cairo_font_options_t* opt = cairo_font_options_create();
    cairo_scaled_font_t* sf = cairo_scaled_font_create(face, &size, &ctm, opt);
    cairo_font_options_destroy(opt);
    if (cairo_scaled_font_status(sf) == CAIRO_STATUS_SUCCESS) {
        double a = 0, d = 0;
        if (FT_Face ft = cairo_ft_scaled_font_lock_face(sf)) {
            const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
            if (os2 && os2->version != 0xFFFF && os2->sTypoAscender > 0 && os2->sTypoDescender <= 0) {
                a = os2->sTypoAscender;
                d = -double(os2->sTypoDescender);
            } else if (ft->ascender > 0 && ft->descender <= 0) {
                a = ft->ascender;
                d = -double(ft->descender);
            }
            out.italic = (ft->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
            cairo_ft_scaled_font_unlock_face(sf);
        }
        if (a > 0 && std::isfinite(a / (a + d)))
            ascent = a / (a + d);
    }
    cairo_scaled_font_destroy(sf);
    return out;
}

FontFace resolve(const std::string& family, bool bold, bool italic)
{
    FcPattern* m = match_pattern(family, bold, italic);
    if (!m)
        m = match_pattern(kFallbackFamily, bold, italic);
    FontFace f;
    if (!m) {
        f.face = cairo_toy_font_face_create("sans-serif", italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
            bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        return f;
    }
    // fontconfig asks for synthetic oblique with a matrix that Cairo applies leaning backwards in
    // its y-down space; the canvas slants such glyphs itself (FontFace::oblique).
    FcPatternDel(m, FC_MATRIX);
    f.face = cairo_ft_font_face_create_for_pattern(m);
    FcPatternDestroy(m);
    const FaceMetrics fm = metrics_of(f.face);
    f.em_ascent = fm.em_ascent;
    f.oblique = italic && !fm.italic;
    return f;
}

} // namespace

FontCache::FontCache()
    : impl_(std::make_unique<Impl>())
{
}

FontCache::~FontCache() = default;

const FontFace& FontCache::face(std::string_view family, bool bold, bool italic)
{
    std::string key(family);
    key.push_back('\0');
    key.push_back(bold ? 'b' : '-');
    key.push_back(italic ? 'i' : '-');
    std::lock_guard<std::mutex> hold(impl_->lock);
    auto it = impl_->faces.find(key);
    if (it != impl_->faces.end())
        return it->second;
    ++impl_->lookups;
    return impl_->faces.emplace(key, resolve(std::string(family), bold, italic)).first->second;
}

size_t FontCache::lookups() const
{
    std::lock_guard<std::mutex> hold(impl_->lock);
    return impl_->lookups;
}

void start_fonts() { FcInit(); }

FontCache& font_cache()
{
    static FontCache cache;
    return cache;
}

} // namespace platform
