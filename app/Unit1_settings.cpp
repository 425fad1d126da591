// The settings file beside the executable and the reference file of the "%%" text variables.
#include "app/Unit1.h"
#include "app/UnitVal_driver.h"
#include "platform/TextFile.h"
#include "util/Func_2.h"

namespace {

// Delphi's Trim: blanks and control characters at both ends.
std::u16string trim_ctrl(const std::u16string& s)
{
    size_t b = 0;
    size_t e = s.size();
    while (b < e && s[b] <= u' ')
        ++b;
    while (e > b && s[e - 1] <= u' ')
        --e;
    return s.substr(b, e - b);
}

bool starts_with(const std::u16string& s, std::u16string_view p) { return s.compare(0, p.size(), p) == 0; }

} // namespace

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

void TForm1::GetRefFileName()
{
    const std::u16string jwf = AppPath + u"Jw_win.jwf";
    if (!IsFile(jwf))
        return;
    auto lines = platform::read_cp932_lines(platform::fs_path(jwf));
    if (!lines)
        return;
    for (const std::u16string& raw : *lines) {
        const std::u16string line = trim_ctrl(UpperText(raw));
        if (starts_with(line, u"END"))
            return;
        if (starts_with(line, u"REF_FILE =")) {
            gRefFileName = trim_ctrl(line.substr(10));
            return;
        }
        if (starts_with(line, u"REF_FILE=")) {
            gRefFileName = trim_ctrl(line.substr(9));
            return;
        }
    }
}

void TForm1::RefFileOpen()
{
    if (gRefFileName.empty())
        return;
    std::u16string folder = ExtractFolder(gRefFileName);
    const std::u16string name = ExtractName(gRefFileName);
    // A bare name yields the single separator: treat it as no folder.
    const bool bare = folder.empty() || folder == u"/" || folder == u"\\";
    const std::u16string fallback = gFilePath.empty() ? AppPath : ExtractFolder(gFilePath);
    if (bare)
        folder = fallback;
    gRefCount = 0;
    gRefList.clear();
    std::u16string file = AddPathDelim(folder) + name;
    // Names from Windows settings may carry a drive or differ in case from the file on disk.
    if (!IsFile(file))
        file = detail::find_file_ignoring_case(bare ? folder : fallback, name);
    if (file.empty() || !IsFile(file))
        return;
    auto lines = platform::read_cp932_lines(platform::fs_path(file));
    if (!lines)
        return;
    for (const std::u16string& line : *lines) {
        const size_t tab = line.find(u'\t');
        if (tab == std::u16string::npos)
            continue;
        const std::u16string key = line.substr(0, tab);
        std::u16string value;
        for (char16_t c : line.substr(tab + 1))
            if (c >= u' ')
                value += c;
        if (key.empty())
            continue;
        bool bad = false;
        for (char16_t c : key)
            if (c == u' ' || c == u'\u3000' || c < u' ')
                bad = true;
        if (bad || !starts_with(key, u"%%"))
            continue;
        gRefList.push_back({ key, value });
        ++gRefCount;
    }
}
