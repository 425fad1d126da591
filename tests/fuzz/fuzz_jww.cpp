// Fuzz target of the ".jww" and ".jws" documents: file check, whole load, image inflation, the drawing at
// 800 x 600 with the drawing's own pens and line types, and clean-up, all in a private folder. Each reader
// checks its own magic, so one input exercises whichever it matches.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "formats/jww/JwsUnit.h"
#include "formats/jww/JwwUnit.h"
#include "globals/UnitVal.h"
#include "graphics/UnitGraAtt.h"
#include "platform/Cp932.h"
#include "tests/fuzz/fuzz_draw.h"

namespace {

// The input file and the images the reader extracts, in a folder of their own.
struct Folder : fuzz_draw::PrivateFolder {
    std::filesystem::path images;
    Folder()
        : PrivateFolder("fuzz_jww")
        , images(root / "img")
    {
        std::filesystem::create_directory(images);
    }
};

// Line type idx from a word of on/off bits, most significant first: each run one entry of run x pitch.
void bit_word_type(TgraAttribute& att, int idx, uint32_t bits, double pitch, double amp)
{
    double runs[32];
    int n = 0;
    for (int b = 31; b >= 0; ++n) {
        const uint32_t on = (bits >> b) & 1u;
        int len = 0;
        for (; b >= 0 && ((bits >> b) & 1u) == on; --b)
            ++len;
        runs[n] = (on ? len : -len) * pitch;
    }
    att.SetAttrTypamp_(idx, amp);
    att.SetAttrTypseg_(idx, n);
    for (int i = 0; i < n; ++i)
        att.SetAttrTyppa1_(idx, i, runs[i]);
    att.SetAttrTypPit_(idx);
}

// The drawing's printer pens and line types, pushed into the tables as the driver does before it draws.
void header_attributes(const TJwwData& jw, TgraAttribute& att)
{
    constexpr double unit = 0.035;
    for (size_t i = 1; i < jw.EntCol.size() && i <= 8; ++i)
        att.SetAttrCol(int(i), 0.042 * jw.EntCol[i].anPrtPenWidth, jw.EntCol[i].adPrtTenHankei);
    for (size_t i = 1; i < jw.EntColS.size() && i <= 256; ++i)
        att.SetAttrCol(int(100 + i), 0.01 * jw.EntColS[i].anPrtPenWidth, jw.EntColS[i].adPrtTenHankei);
    for (size_t i = 0; i < jw.EntLtp1.size() && i < 8; ++i)
        bit_word_type(att, int(i + 1), uint32_t(jw.EntLtp1[i].alLType), unit * jw.EntLtp1[i].anPrtTokushuSenPich, 0);
    for (size_t i = 0; i < jw.EntLtp2.size() && i < 5; ++i) {
        const auto& t = jw.EntLtp2[i];
        bit_word_type(att, int(i + 9), uint32_t(t.alLType), unit * t.anPrtTokushuSenPich, unit * t.anPrtRandSenWide);
    }
    for (size_t i = 0; i < jw.EntLtp3.size() && i < 4; ++i)
        bit_word_type(att, int(i + 14), uint32_t(jw.EntLtp3[i].alLType), unit * jw.EntLtp3[i].anPrtTokushuSenPich, 0);
    for (size_t k = 1; k < jw.EntLtpS.size() && k <= 32; ++k) {
        const auto& t = jw.EntLtpS[k];
        const int n = std::clamp(t.anUDLTypeSegment, 0, 10);
        att.SetAttrTypseg_(int(17 + k), n);
        for (int m = 0; m < n; ++m)
            att.SetAttrTyppa1_(
                int(17 + k), m, m % 2 ? -t.aadUDLTypePitch[size_t(m + 1)] : t.aadUDLTypePitch[size_t(m + 1)]);
        att.SetAttrTypPit_(int(17 + k));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Folder folder;
    std::filesystem::path file = folder.root / "in.jww";
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    TJwwData jw;
    jw.BindImageFolder = platform::utf8_to_utf16(folder.images.string() + "/");
    jw.BindImageExp = jw.BindImageExr = true;
    std::u16string path = platform::utf8_to_utf16(file.string());
    TgraAttribute att;
    gGraAtt = &att;
    if (jw.FileCheck(path) && jw.FileIn(path)) {
        jw.BindImageExplode();
        fuzz_draw::start_attributes(att);
        header_attributes(jw, att);
        jw.SetGAttLayer();
        jw.GetMinMaxZahyo();
        double px = 0, py = 0;
        jw.GetPaperSize(px, py);
        if (jw.Enthd.n1 > 0)
            fuzz_draw::draw_jw(jw, -px / 2, -py / 2, px / 2, py / 2, true);
    }
    jw.BindImageDeleteGzFile();
    jw.BindImageDeleteNonGzFile();
    TJwsData jws;
    if (jws.FileCheck(path) && jws.FileIn(path)) {
        fuzz_draw::start_attributes(att);
        jws.SetGAttLayer();
        jws.GetMinMaxZahyo();
        if (jws.Enthd.n1 > 0)
            fuzz_draw::draw_jw(jws, gMinX, gMinY, gMaxX, gMaxY, false);
    }
    gGraAtt = nullptr;
    // Every file the reader made must be gone again.
    if (!std::filesystem::is_empty(folder.images))
        __builtin_trap();
    return 0;
}
