// Run sequence of one conversion: validation, dispatch by extension, output size, view fit, save.
#include "app/Unit1.h"

#include <algorithm>
#include <cmath>

#include "app/UnitVal_driver.h"
#include "graphics/LineStroke.h"
#include "platform/Cp932.h"
#include "platform/ImageSave.h"
#include "platform/TextFile.h"
#include "util/Func_2.h"

namespace {

const char16_t* const kSettingsName = u"Torvane.dat";

struct Paper {
    int code;
    double x, y;
};
constexpr Paper kPapers[] = {
    { 0, 1189, 841 },
    { 1, 841, 594 },
    { 2, 594, 420 },
    { 3, 420, 297 },
    { 4, 297, 210 },
    { 8, 1682, 1189 },
    { 9, 2378, 1682 },
    { 10, 3364, 2378 },
    { 11, 4756, 3364 },
    { 12, 10000, 7073 },
    { 13, 50000, 35366 },
    { 14, 100000, 70732 },
};

constexpr int kDpi[] = { 36, 72, 100, 120, 144, 160, 200, 240, 300, 360, 400, 480, 600, 720, 800, 960, 1000, 1200 };

} // namespace

// Paper size in millimetres for a paper code; unknown codes give A0.
void paper_size(int code, double& x, double& y)
{
    x = 1189;
    y = 841;
    for (const Paper& p : kPapers) {
        if (p.code == code) {
            x = p.x;
            y = p.y;
        }
    }
}

TForm1::TForm1() = default;

TForm1::~TForm1() = default;

void TForm1::fail(RunOutcome o, const std::string& message)
{
    if (outcome_ != RunOutcome::Converted)
        return;
    outcome_ = o;
    message_ = message;
}

void TForm1::FormCreate(const std::vector<std::u16string>& args, const std::u16string& exe_folder)
{
    args_ = args;
    AppPath = AddPathDelim(exe_folder);
    gAppPath = AppPath;
    LoadSettings(AppPath + kSettingsName);
    Memo1 = args_;
    gGraph = nullptr;
    gGraph2 = nullptr;
    Image1.reset();
    create_documents();
    JwInit();
    gDispWidth = 100;
    gDispHeight = 100;
    gDispScale = 1.0;
    gDispX1 = 0;
    gDispY1 = 0;
    gDispX2 = gDispWidth / gDispScale;
    gDispY2 = gDispHeight / gDispScale;
    gMinX = 0;
    gMinY = 0;
    gMaxX = 400;
    gMaxY = 400;
    papx = 400;
    papy = 400;
    gFilePath.clear();
    gDrawTitle.clear();
    gFileDate = now();
    gLayerScale = 1.0;
    gPrtBairitsu = 1.0;
}

void TForm1::FormShow()
{
    std::u16string src;
    std::u16string dst;
    int pass = 0;
    if (args_.size() == 5) {
        const bool settings = IsFile(AppPath + kSettingsName);
        src = args_[3];
        const bool source = IsFile(src);
        dst = args_[4];
        const bool fresh = !IsFile(dst);
        pass = int(settings) + int(source) + int(fresh);
        if (!settings)
            fail(RunOutcome::Usage, "no Torvane.dat beside the executable");
        if (!source)
            fail(RunOutcome::Source, "source drawing not found");
        if (!fresh)
            fail(RunOutcome::Output, "destination existed: deleted, not recreated");
    } else {
        fail(RunOutcome::Usage, "usage: torvanesub ARG1 ARG2 SOURCE DEST");
    }
    if (!dst.empty() && IsFile(dst))
        EraseFile(dst);
    if (pass == 3)
        Proc(src, dst);
}

void TForm1::FormClose()
{
    free_renderers();
    canvas_.reset();
    free_documents();
    JwFine();
}

void TForm1::Proc(const std::u16string& src, const std::u16string& dst)
{
    if (!IsFile(src)) {
        fail(RunOutcome::Source, "source drawing not found");
        return;
    }
    const size_t slash = src.find_last_of(u'/');
    const size_t dot = src.find_last_of(u'.');
    std::u16string ext;
    if (dot != std::u16string::npos && (slash == std::u16string::npos || dot > slash))
        ext = LowerText(src.substr(dot));
    int t = 0;
    if (ext == u".m7")
        t = 1;
    else if (ext == u".jww")
        t = 2;
    else if (ext == u".jws")
        t = 3;
    else if (ext == u".jwc")
        t = 4;
    else if (ext == u".jwk")
        t = 5;
    if (t == 0) {
        fail(RunOutcome::Source, "unsupported source extension");
        return;
    }
    switch (t) {
    case 1: loaded_ = proc1(src); break;
    case 2: loaded_ = proc2(src); break;
    case 3: loaded_ = proc3(src); break;
    case 4: loaded_ = proc4(src); break;
    case 5: loaded_ = proc5(src); break;
    }
    double sx = 0;
    double sy = 0;
    GetDotSize(t, sx, sy);
    dispSub(t, sx, sy);
    if (!bitmap_ok_) {
        fail(RunOutcome::Output,
            "image of " + std::to_string(int64_t(sx)) + " x " + std::to_string(int64_t(sy)) + " pixels is too large");
        return;
    }
    std::string error;
    if (!platform::save_bitmap(Image1, platform::fs_path(dst), error)) {
        fail(RunOutcome::Output, "cannot write the image: " + error);
        return;
    }
    if (!loaded_)
        fail(RunOutcome::Source, "not a readable drawing: the image holds only what could be read");
}

void TForm1::GetDotSize(int tp, double& sx, double& sy)
{
    sx = std::max(10.0, detail::round_half_even(StrToFloatZero(ed2)));
    sy = std::max(10.0, detail::round_half_even(StrToFloatZero(ed3)));
    if (tp == 3 || tp == 5 || cb3 == 0)
        return;
    const int dpi = (cb3 >= 1 && cb3 <= 18) ? kDpi[cb3 - 1] : 300;
    sx = std::max(10.0, detail::round_half_even(papx / 25.4 * dpi));
    sy = std::max(10.0, detail::round_half_even(papy / 25.4 * dpi));
}

void TForm1::dispSub(int t, double x, double y)
{
    gDispWidth = x;
    gDispHeight = y;
    double xmin, ymin, xmax, ymax;
    if (t == 1 || t == 4) {
        xmin = 0;
        ymin = 0;
        xmax = papx;
        ymax = papy;
    } else if (t == 2) {
        xmin = -papx / 2;
        ymin = -papy / 2;
        xmax = papx / 2;
        ymax = papy / 2;
    } else {
        xmin = gMinX;
        ymin = gMinY;
        xmax = gMaxX;
        ymax = gMaxY;
    }
    double dx = std::fabs(xmax - xmin) * 1.05;
    double dy = std::fabs(ymax - ymin) * 1.05;
    if (dx <= 0.001)
        dx = 0.001;
    if (dy <= 0.001)
        dy = 0.001;
    gDispScale = std::min(gDispWidth / dx, gDispHeight / dy);
    const double hw = 0.5 * gDispWidth / gDispScale;
    const double hh = 0.5 * gDispHeight / gDispScale;
    const double cx = (xmin + xmax) / 2;
    const double cy = (ymin + ymax) / 2;
    gDispX1 = cx - hw;
    gDispY1 = cy - hh;
    gDispX2 = cx + hw;
    gDispY2 = cy + hh;
    dispDraw(t);
}

bool TForm1::size_bitmap()
{
    Image1.reset();
    const double w = detail::round_half_even(gDispWidth);
    const double h = detail::round_half_even(gDispHeight);
    // Checked as doubles first: a paper of 100 m at 1200 dpi must not reach an integer conversion.
    if (!(w >= 1 && h >= 1 && w <= platform::Bitmap::max_side && h <= platform::Bitmap::max_side)
        || !Image1.resize(int(w), int(h))) {
        bitmap_ok_ = false;
        return false;
    }
    return true;
}

void TForm1::LoadSettings(const std::u16string& FileName)
{
    Fm1x = 50;
    Fm1y = 50;
    Fm1w = 480;
    Fm1h = 480;
    rb1 = true;
    rb2 = rb3 = rb4 = rb5 = false;
    ed1.clear();
    lb1.clear();
    lb2 = AppPath;
    Fidx = 1;
    gstyle = u"Windows";
    cb2 = 0;
    cb3 = 0;
    ed2 = u"100";
    ed3 = u"100";
    cb4 = 0;
    if (!IsFile(FileName))
        return;
    auto lines = platform::read_cp932_lines(platform::fs_path(FileName));
    if (!lines)
        return;
    // Past the end of the file every line reads empty.
    auto line = [&](size_t i) -> std::u16string { return i < lines->size() ? (*lines)[i] : std::u16string(); };
    Fm1x = StrToIntZero(line(0));
    Fm1y = StrToIntZero(line(1));
    Fm1w = StrToIntZero(line(2));
    Fm1h = StrToIntZero(line(3));
    rb1 = StrToBoolWord(line(4));
    rb2 = StrToBoolWord(line(5));
    rb3 = StrToBoolWord(line(6));
    rb4 = StrToBoolWord(line(7));
    rb5 = StrToBoolWord(line(8));
    ed1 = line(9);
    lb1 = line(10);
    lb2 = line(11);
    Fidx = StrToIntZero(line(12));
    gstyle = line(13);
    cb2 = StrToIntZero(line(14));
    cb3 = StrToIntZero(line(15));
    ed2 = line(16);
    ed3 = line(17);
}
