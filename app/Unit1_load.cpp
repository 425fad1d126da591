// Loading steps of the five document types, header-driven attributes, reference file, start-up and teardown.
#include <cmath>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

#include "app/Unit1.h"
#include "app/UnitVal_driver.h"
#include "formats/jwc/JwcUnit.h"
#include "formats/jwc/JwkUnit.h"
#include "formats/jww/JwsUnit.h"
#include "formats/jww/JwwUnit.h"
#include "formats/m7/M7Unit.h"
#include "graphics/UnitGraAtt.h"
#include "platform/TextFile.h"
#include "util/Func_2.h"
#include "util/PaperSize.h"

namespace {

TDateTime local_date_time(time_t t, bool even_seconds)
{
    struct tm lt { };
    localtime_r(&t, &lt);
    int sec = lt.tm_sec;
    if (even_seconds)
        sec &= ~1;
    return detail::make_date_time(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday, lt.tm_hour, lt.tm_min, sec);
}

// Last-write time as the packed file-date format keeps it: local time, even seconds.
TDateTime file_date(const std::u16string& fn)
{
    struct stat st { };
    if (stat(detail::native_path(fn).c_str(), &st) != 0)
        return now();
    return local_date_time(st.st_mtime, true);
}

// A pattern word read from its top bit: each run of equal bits becomes one dash (+) or gap (-).
void store_word_pattern(int n, double amplitude, uint32_t word, double p)
{
    double entries[32];
    int count = 0;
    int bit = 31;
    while (bit >= 0) {
        const bool on = (word >> bit) & 1u;
        int run = 0;
        while (bit >= 0 && bool((word >> bit) & 1u) == on) {
            ++run;
            --bit;
        }
        entries[count++] = on ? run * p : -run * p;
    }
    gGraAtt->SetAttrTypamp_(n, amplitude);
    gGraAtt->SetAttrTypseg_(n, count);
    for (int m = 0; m < count; ++m)
        gGraAtt->SetAttrTyppa1_(n, m, entries[m]);
    gGraAtt->SetAttrTypPit_(n);
}

} // namespace

void TForm1::set_paper(const detail::PaperSize& p)
{
    papx = p.x;
    papy = p.y;
}

double now() { return local_date_time(std::time(nullptr), false); }

void TForm1::create_documents()
{
    M7 = new TM7Data();
    M7->DispMode = false;
    M7->HojoMode = true;
}

void TForm1::free_documents()
{
    if (M7) {
        M7->DataFree();
        delete M7;
        M7 = nullptr;
    }
}

void TForm1::JwInit()
{
    gRefList.clear();
    gRefCount = 0;
    gBackColorNo = 0;
    gColorMode = 2;
    gLtypeMode = 2;
    gLtypeUnit = 0.035;
    gPrt300Dpi = 0;
    gJwcColorReset = gJwsColorReset = gJwcLtypeReset = gJwsLtypeReset = 1;
    JWW1 = new TJwwData();
    JWC = new TJwcData();
    JWK = new TJwkData();
    JWS = new TJwsData();
    gGraAtt = new TgraAttribute();
    detail::start_attributes(*gGraAtt, gBackColorNo);
    gFilePath.clear();
    gDrawTime.clear();
    gMemo1.clear();
    gMemo2.clear();
    gLayerScale = 1.0;
    gPrtBairitsu = 1.0;
    gFileDate = now();
    gRefFileName.clear();
    GetRefFileName();
    RefFileOpen();
    JWW1->BindImageExp = true;
    JWW1->BindImageExr = true;
    gRunTempFolder = run_folder_.make(settings_.private_temp ? std::u16string() : AppPath + u"TEMP");
    JWW1->BindImageFolder = gRunTempFolder;
    JWS->BindImageFolder = JWW1->BindImageFolder;
    JWS->BindImageExp = false;
    JWS->BindImageExr = false;
}

void TForm1::JwFine()
{
    gRefList.clear();
    delete gGraAtt;
    gGraAtt = nullptr;
    if (JWW1) {
        JwwDataFree(JWW1);
    }
    run_folder_.remove();
    gRunTempFolder.clear();
    delete JWW1;
    JWW1 = nullptr;
    delete JWC;
    JWC = nullptr;
    delete JWK;
    JWK = nullptr;
    delete JWS;
    JWS = nullptr;
}

void TForm1::JwwDataFree(TJwwData* JW)
{
    JW->BindImageDeleteGzFile();
    JW->BindImageDeleteNonGzFile();
    JW->DataFree();
    JW->BindImageInit();
}

// Steps 2 and 3 of every loading step: empty every document, then read the file.
bool TForm1::load_frame(const std::u16string& fn, const std::function<bool()>& file_in)
{
    M7->DataFree();
    JwwDataFree(JWW1);
    JWS->DataFree();
    JWS->BindImageInit();
    JWC->DataFree();
    JWK->DataFree();
    if (!file_in())
        return false;
    gFilePath = fn;
    gFileDate = file_date(fn);
    return true;
}

bool TForm1::proc1(const std::u16string& fn)
{
    if (!M7->FileCheck(fn) || !load_frame(fn, [&] { return M7->FileIn(fn); }))
        return false;
    gDrawTitle = M7->Title;
    papx = std::fabs(M7->psz.size[2] - M7->psz.size[0]);
    papy = std::fabs(M7->psz.size[3] - M7->psz.size[1]);
    if (M7->psz.lout == 1)
        std::swap(papx, papy);
    gMinX = 0;
    gMinY = 0;
    gMaxX = papx;
    gMaxY = papy;
    return true;
}

bool TForm1::proc2(const std::u16string& fn)
{
    if (!JWW1->FileCheck(fn) || !load_frame(fn, [&] { return JWW1->FileIn(fn); }))
        return false;
    RefFileOpen();
    JWW1->BindImageExplode();
    JwwFileColorSet(JWW1);
    JwwFileLtypeSet(JWW1);
    JWW1->SetGAttLayer();
    JWW1->GetMinMaxZahyo();
    set_paper(detail::paper_size(JWW1->Enthd.nZumen));
    return true;
}

bool TForm1::proc3(const std::u16string& fn)
{
    if (!JWS->FileCheck(fn) || !load_frame(fn, [&] { return JWS->FileIn(fn); }))
        return false;
    RefFileOpen();
    JwsFileColorSet();
    JwsFileLtypeSet();
    JWS->SetGAttLayer();
    JWS->GetMinMaxZahyo();
    papx = std::fabs(gMaxX - gMinX);
    papy = std::fabs(gMaxY - gMinY);
    return true;
}

bool TForm1::proc4(const std::u16string& fn)
{
    if (!JWC->FileCheck(fn) || !load_frame(fn, [&] { return JWC->FileIn(fn); }))
        return false;
    RefFileOpen();
    JwcFileColorSet();
    JwcFileLtypeSet();
    JWC->SetGAttLayer();
    JWC->GetMinMaxZahyo();
    set_paper(detail::paper_size(JWC->Enthd.psize));
    return true;
}

bool TForm1::proc5(const std::u16string& fn)
{
    if (!JWK->FileCheck(fn) || !load_frame(fn, [&] { return JWK->FileIn(fn); }))
        return false;
    RefFileOpen();
    JwcFileColorSet();
    JwcFileLtypeSet();
    JWK->SetGAttLayer();
    JWK->GetMinMaxZahyo();
    papx = std::fabs(gMaxX - gMinX);
    papy = std::fabs(gMaxY - gMinY);
    return true;
}

namespace {

void reset_colors(int flag)
{
    if (flag == 0)
        return;
    gGraAtt->SetBackColor(gGraAtt->GetBackColorNo());
    gGraAtt->SetDefaultColor();
    gGraAtt->SetDefaultWidth();
    gGraAtt->SetDefaultTenR();
}

} // namespace

void TForm1::JwcFileColorSet() { reset_colors(gJwcColorReset); }
void TForm1::JwsFileColorSet() { reset_colors(gJwsColorReset); }

void TForm1::JwcFileLtypeSet()
{
    if (gJwcLtypeReset != 0)
        gGraAtt->SetDefaultLtype();
}

void TForm1::JwsFileLtypeSet()
{
    if (gJwsLtypeReset != 0)
        gGraAtt->SetDefaultLtype();
}

void TForm1::JwwFileColorSet(TJwwData* JW)
{
    if (JW->EntCol.empty())
        return;
    const auto& hd = JW->Enthd;
    double w;
    if (hd.nMaxDrawWid >= -100 && hd.nMaxDrawWid <= -1)
        w = -1.0 / hd.nMaxDrawWid;
    else if (hd.nMaxDrawWid < -100)
        w = 0.01;
    else if (hd.jwVer <= 420 || hd.nPrtDpi <= 0)
        w = gPrt300Dpi != 0 ? 0.085 : 0.042;
    else
        w = hd.nPrtDpi == 1 ? 0.085 : 0.042;
    if (gColorMode == 1 || gColorMode == 2) {
        const bool screen = gColorMode == 1;
        for (int jn = 1; jn <= 8 && jn < int(JW->EntCol.size()); ++jn) {
            const auto& c = JW->EntCol[jn];
            gGraAtt->SetAttrCol(jn, ColorRefToAlpha(screen ? c.aPenColor : c.aPrtPenColor),
                w * (screen ? c.anPenWidth : c.anPrtPenWidth), c.adPrtTenHankei);
        }
        for (int i = 1; i <= 256 && i < int(JW->EntColS.size()); ++i) {
            const auto& c = JW->EntColS[i];
            gGraAtt->SetAttrCol(100 + i, ColorRefToAlpha(screen ? c.aPenColor : c.aPrtPenColor),
                0.01 * (screen ? c.anPenWidth : c.anPrtPenWidth), c.adPrtTenHankei);
        }
    }
    if (gColorMode > 0) {
        const uint32_t c = uint32_t(gColorMode == 1 ? JW->EntCol[0].aPenColor : JW->EntCol[0].aPrtPenColor);
        const uint32_t r = c & 0xFF;
        const uint32_t g = (c >> 8) & 0xFF;
        const uint32_t b = (c >> 16) & 0xFF;
        if (r <= 20 && g <= 20 && b <= 20) {
            gBackColorNo = 1;
            gGraAtt->SetBackColor(1);
        }
        if (r >= 235 && g >= 235 && b >= 235) {
            gBackColorNo = 0;
            gGraAtt->SetBackColor(0);
        }
    }
}

void TForm1::JwwFileLtypeSet(TJwwData* JW)
{
    if (JW->EntLtp1.empty())
        return;
    const auto& hd = JW->Enthd;
    double u = gLtypeUnit;
    if (hd.nMaxDrawWid >= 0) {
        if (hd.jwVer <= 420 || hd.nPrtDpi <= 0) {
            if (gPrt300Dpi != 0)
                u = 0.085;
        } else {
            u = hd.nPrtDpi == 1 ? 0.085 : 0.042;
        }
    }
    if (gLtypeMode != 1 && gLtypeMode != 2)
        return;
    const bool screen = gLtypeMode == 1;
    gGraAtt->SetAttrTypamp_(0, 0);
    gGraAtt->SetAttrTypseg_(0, 0);
    gGraAtt->SetAttrTypPit_(0);
    for (int i = 0; i < 8 && i < int(JW->EntLtp1.size()); ++i) {
        const auto& t = JW->EntLtp1[i];
        store_word_pattern(i + 1, 0, uint32_t(t.alLType), u * (screen ? t.anTokushuSenPich : t.anPrtTokushuSenPich));
    }
    for (int j = 0; j < 5 && j < int(JW->EntLtp2.size()); ++j) {
        const auto& t = JW->EntLtp2[j];
        store_word_pattern(9 + j, u * (screen ? t.anRandSenWide : t.anPrtRandSenWide), uint32_t(t.alLType),
            u * (screen ? t.anTokushuSenPich : t.anPrtTokushuSenPich));
    }
    for (int k = 0; k < 4 && k < int(JW->EntLtp3.size()); ++k) {
        const auto& t = JW->EntLtp3[k];
        store_word_pattern(14 + k, 0, uint32_t(t.alLType), u * (screen ? t.anTokushuSenPich : t.anPrtTokushuSenPich));
    }
    for (int k = 0; k < 32 && k + 1 < int(JW->EntLtpS.size()); ++k) {
        const auto& t = JW->EntLtpS[k + 1];
        const int n = std::clamp(t.anUDLTypeSegment, 0, 10);
        const int idx = 18 + k;
        gGraAtt->SetAttrTypamp_(idx, 0);
        gGraAtt->SetAttrTypseg_(idx, n);
        for (int m = 0; m < n; ++m) {
            const double v = t.aadUDLTypePitch[size_t(m + 1)];
            gGraAtt->SetAttrTyppa1_(idx, m, m % 2 == 0 ? v : -v);
        }
        gGraAtt->SetAttrTypPit_(idx);
    }
}
