// Tests of the font-name mapping and the font-face cache.
#include "platform/Fonts.h"

#include <gtest/gtest.h>

#include <string>

using platform::font_family_for;

namespace {

struct NameCase {
    const char16_t* name;
    const char* family;
};

const NameCase kNames[] = {
    // Fixed-pitch Gothic in full-width, half-width and mixed spellings.
    { u"ＭＳ ゴシック", "IPAGothic" },
    { u"MS Gothic", "IPAGothic" },
    { u"ms gothic", "IPAGothic" },
    { u"MS ゴシック", "IPAGothic" },
    { u"ＭＳ　ゴシック", "IPAGothic" },
    { u"HGｺﾞｼｯｸM", "IPAGothic" },
    { u"IPAGothic", "IPAGothic" },
    // Proportional Gothic.
    { u"ＭＳ Ｐゴシック", "IPAPGothic" },
    { u"MS PGothic", "IPAPGothic" },
    { u"MS UI Gothic", "IPAPGothic" },
    { u"HGPｺﾞｼｯｸE", "IPAPGothic" },
    { u"メイリオ", "IPAPGothic" },
    { u"Meiryo UI", "IPAPGothic" },
    { u"游ゴシック", "IPAPGothic" },
    // Mincho.
    { u"ＭＳ 明朝", "IPAMincho" },
    { u"MS Mincho", "IPAMincho" },
    { u"HG明朝B", "IPAMincho" },
    { u"ＭＳ Ｐ明朝", "IPAPMincho" },
    { u"MS PMincho", "IPAPMincho" },
    { u"游明朝", "IPAPMincho" },
    { u"IPAPMincho", "IPAPMincho" },
    // Vertical-writing marks left on by a caller do not change the family.
    { u"@ＭＳ 明朝", "IPAMincho" },
    { u"@@MS PGothic", "IPAPGothic" },
    // Anything else falls back to a face with Japanese glyphs.
    { u"Arial", "IPAGothic" },
    { u"Times New Roman", "IPAGothic" },
    { u"", "IPAGothic" },
    { u"@", "IPAGothic" },
};

} // namespace

TEST(FontFamilyFor, MapsDrawingFontNamesToIpaFamilies)
{
    for (const NameCase& c : kNames) {
        SCOPED_TRACE(
            testing::Message() << "case family " << c.family << ", name length " << std::u16string(c.name).size());
        EXPECT_EQ(font_family_for(c.name), c.family);
    }
}

TEST(FontCache, ResolvesEachFaceOnceAndKeepsIt)
{
    platform::FontCache cache;
    const platform::FontFace& a = cache.face("IPAGothic", false, false);
    ASSERT_NE(a.face, nullptr);
    EXPECT_EQ(cairo_font_face_status(a.face), CAIRO_STATUS_SUCCESS);
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(cache.face("IPAGothic", false, false).face, a.face);
    EXPECT_EQ(cache.lookups(), 1u);

    EXPECT_FALSE(a.oblique);

    // The IPA fonts have no bold or italic faces: bold is a synthesised face of its own, italic is
    // slanted by the canvas, and neither changes the regular face.
    const platform::FontFace& bold = cache.face("IPAGothic", true, false);
    EXPECT_NE(bold.face, a.face);
    EXPECT_FALSE(bold.oblique);
    EXPECT_TRUE(cache.face("IPAGothic", false, true).oblique);
    EXPECT_EQ(cache.lookups(), 3u);
    EXPECT_FALSE(cache.face("IPAGothic", false, false).oblique);
}

TEST(FontCache, EmBoxTopLiesWithinTheFontsAscent)
{
    platform::FontCache cache;
    for (const char* family : { "IPAGothic", "IPAPGothic", "IPAMincho", "IPAPMincho" }) {
        SCOPED_TRACE(family);
        const double a = cache.face(family, false, false).em_ascent;
        // The IPA fonts span one em from 0.88 above to 0.12 below the baseline.
        EXPECT_NEAR(a, 0.88, 0.02);
    }
}

TEST(FontCache, UnknownFamilyStillGivesAFace)
{
    platform::FontCache cache;
    const platform::FontFace& f = cache.face("No Such Family 4711", false, false);
    ASSERT_NE(f.face, nullptr);
    EXPECT_EQ(cairo_font_face_status(f.face), CAIRO_STATUS_SUCCESS);
    EXPECT_GT(f.em_ascent, 0.5);
    EXPECT_LT(f.em_ascent, 1.0);
}
