// Tests of the Func_2 path, file, folder and date routines.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Cp932.h"
#include "util/Func_2_files.h"

namespace fs = std::filesystem;

namespace {

std::u16string u16(const std::string& s) { return platform::utf8_to_utf16(s); }
std::string u8(const std::u16string& s) { return platform::utf16_to_utf8(s); }

// A private folder per test, removed afterwards.
class TempFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string tmpl = (fs::temp_directory_path() / "torvane-files-XXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        ASSERT_NE(::mkdtemp(buf.data()), nullptr);
        dir_ = buf.data();
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }
    // The folder as a UTF-16 path with a trailing separator.
    std::u16string folder() const { return u16(dir_.string() + "/"); }
    std::u16string at(const std::string& rel) const { return u16((dir_ / rel).string()); }
    void write(const std::string& rel, const std::string& bytes) const
    {
        std::ofstream(dir_ / rel, std::ios::binary) << bytes;
    }
    std::string read(const std::string& rel) const
    {
        std::ifstream in(dir_ / rel, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), {} };
    }
    std::vector<std::string> listing() const
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir_))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    fs::path dir_;
};

// Limits the size of any file this process writes, so that a write fails midway.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        old_handler_ = ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lim = old_;
        lim.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        ::signal(SIGXFSZ, old_handler_);
    }

private:
    rlimit old_ {};
    void (*old_handler_)(int) = nullptr;
};

std::string pattern(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char((i * 7 + i / 251) & 0xFF);
    return s;
}

// ---- Paths

TEST(Func2Paths, PathDelimIsSlash) { EXPECT_EQ(PathDelim, u'/'); }

TEST(Func2Paths, AddPathDelim)
{
    struct Case {
        std::u16string in, want;
    } cases[] = {
        { u"C:\\TMP", u"C:\\TMP/" },
        { u"C:\\TMP\\", u"C:\\TMP\\" },
        { u"C:\\TMP/", u"C:\\TMP/" },
        { u"/tmp", u"/tmp/" },
        { u"/tmp/", u"/tmp/" },
        { u"", u"/" },
        { u"a", u"a/" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(AddPathDelim(c.in), c.want) << u8(c.in);
}

TEST(Func2Paths, ExtractFolderNameAndExt)
{
    struct Case {
        std::u16string in, folder, name, noExt, bmp;
    } cases[] = {
        { u"C:\\DATA\\PLAN.JWW", u"C:\\DATA\\", u"PLAN.JWW", u"C:\\DATA\\PLAN", u"C:\\DATA\\PLAN.bmp" },
        { u"/home/u/plan.jww", u"/home/u/", u"plan.jww", u"/home/u/plan", u"/home/u/plan.bmp" },
        { u"C:\\a/b\\c.d.jww", u"C:\\a/b\\", u"c.d.jww", u"C:\\a/b\\c.d", u"C:\\a/b\\c.d.bmp" },
        { u"plan.jww", u"/", u"plan.jww", u"plan", u"plan.bmp" },
        { u"/plan", u"/", u"plan", u"/plan", u"/plan.bmp" },
        { u"dir.v2\\plan", u"dir.v2\\", u"plan", u"dir.v2\\plan", u"dir.v2\\plan.bmp" },
        { u"C:\\DATA\\", u"C:\\DATA\\", u"", u"C:\\DATA\\", u"C:\\DATA\\.bmp" },
        { u"\\\\SERVER\\SHARE\\図面.jww", u"\\\\SERVER\\SHARE\\", u"図面.jww", u"\\\\SERVER\\SHARE\\図面",
            u"\\\\SERVER\\SHARE\\図面.bmp" },
        { u" a.jww", u"/", u" a.jww", u" a", u" a.bmp" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFolder(c.in), c.folder) << u8(c.in);
        EXPECT_EQ(ExtractName(c.in), c.name) << u8(c.in);
        EXPECT_EQ(ChangeExt(c.in, u""), c.noExt) << u8(c.in);
        EXPECT_EQ(ChangeExt(c.in, u".bmp"), c.bmp) << u8(c.in);
        // An extension without its dot gets one.
        EXPECT_EQ(ChangeExt(c.in, u"bmp"), c.bmp) << u8(c.in);
    }
}

TEST(Func2Paths, InvalidPathsGiveEmptyText)
{
    std::u16string with_nul = u"C:\\a";
    with_nul += u'\0';
    with_nul += u"b.jww";
    const std::u16string lone_surrogate = std::u16string(u"a") + char16_t(0xD800) + u".jww";
    const std::u16string too_long = u"/" + std::u16string(PATH_MAX, u'a');
    const std::u16string just_fits = u"/" + std::u16string(PATH_MAX - 2, u'a');
    // Three bytes per character in the file system's encoding count against the limit.
    const std::u16string long_in_bytes = u"/" + std::u16string(PATH_MAX / 3 + 1, u'図');
    for (const auto& bad : { std::u16string(), std::u16string(u" "), std::u16string(u"    "), with_nul, lone_surrogate,
             too_long, long_in_bytes }) {
        EXPECT_EQ(ExtractFolder(bad), u"") << bad.size();
        EXPECT_EQ(ExtractName(bad), u"") << bad.size();
        EXPECT_EQ(ChangeExt(bad, u".x"), u"") << bad.size();
        EXPECT_FALSE(IsFile(bad));
        EXPECT_FALSE(IsFolder(bad));
        EXPECT_FALSE(MakeFolder(bad));
    }
    EXPECT_EQ(ExtractFolder(just_fits), u"/");
    EXPECT_EQ(ExtractName(just_fits).size(), size_t(PATH_MAX - 2));
}

TEST(Func2Paths, SplitPathNames)
{
    struct Case {
        std::u16string path;
        int maxIndex;
        std::vector<std::u16string> want;
        int result;
    } cases[] = {
        { u"C:\\DATA\\PLAN.JWW", 80, { u"C:", u"DATA", u"PLAN.JWW" }, 2 },
        { u"\\\\SERVER\\SHARE\\A.JWW", 80, { u"", u"SERVER", u"SHARE", u"A.JWW" }, 3 },
        { u"//server/share/a.jww", 80, { u"", u"server", u"share", u"a.jww" }, 3 },
        { u"/home/u/a.jww", 80, { u"", u"home", u"u", u"a.jww" }, 3 },
        { u"A\\B\\C\\D", 2, { u"A", u"B", u"D" }, 2 },
        { u"A\\B\\C\\D\\E", 2, { u"A", u"B", u"E" }, 2 },
        { u"A\\B", 0, { u"B" }, 0 },
        { u"A\\\\B", 80, { u"A", u"B" }, 1 }, // a doubled separator counts once
        { u"A\\\\\\B", 80, { u"A", u"", u"B" }, 2 }, // three: a pair, then one more
        { u"A\\/B", 80, { u"A", u"", u"B" }, 2 }, // a mixed pair is two separators
        { u"A/B\\C", 80, { u"A", u"B", u"C" }, 2 },
        { u"A\\", 80, { u"A", u"" }, 1 },
        { u"", 80, { u"" }, 0 },
        { u"PLAN.JWW", 80, { u"PLAN.JWW" }, 0 },
    };
    for (const auto& c : cases) {
        // Stale names from an earlier call must not survive.
        std::vector<std::u16string> names(size_t(c.maxIndex) + 1, u"stale");
        int got = SplitPathNames(c.path, names, c.maxIndex);
        EXPECT_EQ(got, c.result) << u8(c.path);
        ASSERT_EQ(names.size(), size_t(c.maxIndex) + 1);
        for (size_t k = 0; k < names.size(); ++k) {
            std::u16string want = k < c.want.size() ? c.want[k] : u"";
            EXPECT_EQ(names[k], want) << u8(c.path) << " name " << k;
        }
    }
}

TEST(Func2Paths, SplitPathNamesGrowsShortArrays)
{
    std::vector<std::u16string> names;
    EXPECT_EQ(SplitPathNames(u"a\\b\\c", names, 5), 2);
    ASSERT_EQ(names.size(), 6u);
    EXPECT_EQ(names[2], u"c");
    // A negative maxIndex is taken as 0 rather than writing outside the array.
    std::vector<std::u16string> one;
    EXPECT_EQ(SplitPathNames(u"a\\b", one, -3), 0);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], u"b");
}

// ---- Files and folders

TEST_F(TempFolder, FileAndFolderTests)
{
    write("f.txt", "x");
    fs::create_directory(dir_ / "sub");
    fs::create_symlink(dir_ / "f.txt", dir_ / "link");
    fs::create_symlink(dir_ / "missing", dir_ / "dangling");
    EXPECT_TRUE(IsFile(at("f.txt")));
    EXPECT_TRUE(IsFile(at("link"))); // links are followed
    EXPECT_FALSE(IsFile(at("dangling")));
    EXPECT_FALSE(IsFile(at("sub")));
    EXPECT_FALSE(IsFile(at("none")));
    EXPECT_TRUE(IsFolder(at("sub")));
    EXPECT_FALSE(IsFolder(at("f.txt")));
    // Windows separators reach the same file.
    EXPECT_TRUE(IsFile(folder() + u"sub\\..\\f.txt"));
}

TEST_F(TempFolder, WindowsDrivesAndSharesDoNotResolve)
{
    // As "//tmp/...", a share would name a real folder here.
    std::u16string share = u16(dir_.string());
    std::replace(share.begin(), share.end(), u'/', u'\\');
    share = u"\\" + share;
    EXPECT_FALSE(IsFolder(share));
    EXPECT_FALSE(MakeFolder(share + u"\\new"));
    EXPECT_FALSE(fs::exists(dir_ / "new"));
    // As a relative "C:/..." a drive path would land in the current folder; make that this test's folder.
    fs::create_directory(dir_ / "C:");
    write("C:/a.bmp", "x");
    const fs::path old = fs::current_path();
    fs::current_path(dir_);
    EXPECT_FALSE(IsFile(u"C:\\a.bmp"));
    EXPECT_FALSE(IsFolder(u"C:\\"));
    EXPECT_FALSE(MakeFolder(u"C:\\TMP\\x"));
    EXPECT_FALSE(EraseFile(u"C:\\a.bmp"));
    EXPECT_EQ(detail::find_file_ignoring_case(u"C:\\", u"a.bmp"), u"");
    fs::current_path(old);
    EXPECT_TRUE(fs::exists(dir_ / "C:/a.bmp"));
    EXPECT_FALSE(fs::exists(dir_ / "C:/TMP"));
}

TEST_F(TempFolder, MakeFolder)
{
    EXPECT_TRUE(MakeFolder(at("a/b/c")));
    EXPECT_TRUE(fs::is_directory(dir_ / "a/b/c"));
    EXPECT_TRUE(MakeFolder(at("a/b/c"))); // already there
    EXPECT_TRUE(MakeFolder(folder() + u"w\\x\\y"));
    EXPECT_TRUE(fs::is_directory(dir_ / "w/x/y"));
    write("file", "x");
    EXPECT_FALSE(MakeFolder(at("file")));
    EXPECT_FALSE(MakeFolder(at("file/sub")));
}

TEST_F(TempFolder, EraseFileAndFolder)
{
    write("f.txt", "x");
    fs::create_directories(dir_ / "full/inner");
    write("full/g.txt", "y");
    fs::create_directory(dir_ / "empty");

    EXPECT_FALSE(EraseFolder(at("full"))); // not empty: stays, with its contents
    EXPECT_TRUE(fs::exists(dir_ / "full/g.txt"));
    EXPECT_TRUE(fs::exists(dir_ / "full/inner"));
    EXPECT_FALSE(EraseFolder(at("f.txt")));
    EXPECT_TRUE(fs::exists(dir_ / "f.txt"));
    EXPECT_TRUE(EraseFolder(at("empty")));
    EXPECT_FALSE(fs::exists(dir_ / "empty"));
    EXPECT_FALSE(EraseFolder(at("empty")));

    EXPECT_FALSE(EraseFile(at("full/inner"))); // never removes a folder
    EXPECT_TRUE(fs::exists(dir_ / "full/inner"));
    EXPECT_TRUE(EraseFile(folder() + u"full\\g.txt"));
    EXPECT_FALSE(fs::exists(dir_ / "full/g.txt"));
    EXPECT_TRUE(EraseFile(at("f.txt")));
    EXPECT_FALSE(EraseFile(at("f.txt")));
}

TEST_F(TempFolder, CopyFileData)
{
    const std::string data = pattern(10000); // several 4096-byte pieces and a rest
    write("src.bin", data);
    write("empty.bin", "");
    write("old.bin", "older and longer content");
    EXPECT_TRUE(CopyFileData(at("src.bin"), at("copy.bin")));
    EXPECT_EQ(read("copy.bin"), data);
    EXPECT_TRUE(CopyFileData(at("empty.bin"), at("copy0.bin")));
    EXPECT_TRUE(fs::exists(dir_ / "copy0.bin"));
    EXPECT_EQ(fs::file_size(dir_ / "copy0.bin"), 0u);
    EXPECT_TRUE(CopyFileData(at("src.bin"), at("old.bin"))); // replaces
    EXPECT_EQ(read("old.bin"), data);
    EXPECT_TRUE(CopyFileData(at("src.bin"), folder() + u"~~図面.bin"));
    EXPECT_EQ(read("~~図面.bin"), data);
    EXPECT_EQ(listing(),
        (std::vector<std::string> { "copy.bin", "copy0.bin", "empty.bin", "old.bin", "src.bin", "~~図面.bin" }));
}

TEST_F(TempFolder, CopyFileDataFailureLeavesNoFile)
{
    write("src.bin", pattern(10000));
    write("stale.bin", "stale");
    fs::create_directory(dir_ / "sub");
    EXPECT_FALSE(CopyFileData(at("missing.bin"), at("a.bin")));
    EXPECT_FALSE(CopyFileData(at("sub"), at("b.bin"))); // a folder is no file
    EXPECT_FALSE(CopyFileData(at("src.bin"), at("nofolder/c.bin"))); // destination folder missing
    // A failed copy must not leave an older file to be mistaken for the copy.
    EXPECT_FALSE(CopyFileData(at("missing.bin"), at("stale.bin")));
    {
        FileSizeLimit limit(5000); // the write fails after the first piece
        EXPECT_FALSE(CopyFileData(at("src.bin"), at("d.bin")));
    }
    EXPECT_EQ(listing(), (std::vector<std::string> { "src.bin", "sub" }));
}

TEST_F(TempFolder, CopyFileDataRefusesNamesOutsideItsFolder)
{
    write("src.bin", "data");
    fs::create_directory(dir_ / "sub");
    const std::u16string refused[] = {
        folder() + u"sub/../escaped.bin",
        folder() + u"sub\\..\\escaped.bin",
        folder() + u"sub/..",
        folder() + u"sub/",
        folder() + u"sub/.",
        folder() + u"sub/C:escaped.bin",
        u"",
    };
    for (const auto& dst : refused)
        EXPECT_FALSE(CopyFileData(at("src.bin"), dst)) << u8(dst);
    EXPECT_EQ(listing(), (std::vector<std::string> { "src.bin", "sub" }));
    EXPECT_TRUE(fs::is_empty(dir_ / "sub"));
    // Windows separators inside the folder part are fine.
    EXPECT_TRUE(CopyFileData(at("src.bin"), folder() + u"sub\\ok.bin"));
    EXPECT_EQ(read("sub/ok.bin"), "data");
}

TEST_F(TempFolder, CopyFileDataReplacesALinkInsteadOfWritingThroughIt)
{
    write("src.bin", "new");
    fs::create_directory(dir_ / "outside");
    write("outside/target.bin", "keep");
    fs::create_symlink(dir_ / "outside/target.bin", dir_ / "dst.bin");
    EXPECT_TRUE(CopyFileData(at("src.bin"), at("dst.bin")));
    EXPECT_EQ(read("outside/target.bin"), "keep");
    EXPECT_FALSE(fs::is_symlink(dir_ / "dst.bin"));
    EXPECT_EQ(read("dst.bin"), "new");
}

TEST_F(TempFolder, WriteImageFileKinds)
{
    const std::string bytes = pattern(5000); // two full 2048-byte pieces and a rest
    const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    struct Case {
        int kind;
        const char* ext;
    } cases[] = { { 1, ".JPG" }, { 2, ".PNG" }, { 10, ".GIF" }, { 11, ".TIF" }, { 12, ".BMP" } };
    for (const auto& c : cases) {
        std::u16string name = u"stale";
        EXPECT_TRUE(WriteImageFile(c.kind, int64_t(bytes.size()), folder() + u"TmpImg", data, name)) << c.kind;
        EXPECT_EQ(name, folder() + u"TmpImg" + u16(c.ext));
        EXPECT_EQ(read(std::string("TmpImg") + c.ext), bytes) << c.kind;
    }
    // Only the first size bytes are written.
    std::u16string name;
    EXPECT_TRUE(WriteImageFile(2, 10, folder() + u"part", data, name));
    EXPECT_EQ(read("part.PNG"), bytes.substr(0, 10));
    EXPECT_TRUE(WriteImageFile(2, 0, folder() + u"zero", data, name));
    EXPECT_EQ(fs::file_size(dir_ / "zero.PNG"), 0u);
}

TEST_F(TempFolder, WriteImageFileRefusalsLeaveNoFile)
{
    const std::string bytes = pattern(5000);
    const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    fs::create_directory(dir_ / "sub");
    struct Case {
        const char* what;
        int kind;
        int64_t size;
        std::u16string base;
    } cases[] = {
        { "unknown kind", 3, 10, folder() + u"a" },
        { "kind 0", 0, 10, folder() + u"a" },
        { "size beyond the data", 2, 5001, folder() + u"a" },
        { "negative size", 2, -1, folder() + u"a" },
        { "dot-dot in the stem", 2, 10, folder() + u"sub/../a" },
        { "dot-dot with Windows separators", 2, 10, folder() + u"sub\\..\\a" },
        { "dot-dot as the stem", 2, 10, folder() + u"sub/.." },
        { "no stem", 2, 10, folder() + u"sub/" },
        { "drive letter", 2, 10, folder() + u"sub/C:a" },
        { "missing folder", 2, 10, folder() + u"none/a" },
        { "empty base", 2, 10, u"" },
    };
    for (const auto& c : cases) {
        std::u16string name = u"stale";
        EXPECT_FALSE(WriteImageFile(c.kind, c.size, c.base, data, name)) << c.what;
        EXPECT_EQ(name, u"") << c.what;
    }
    {
        FileSizeLimit limit(3000); // the second piece fails
        std::u16string name = u"stale";
        EXPECT_FALSE(WriteImageFile(2, int64_t(bytes.size()), folder() + u"big", data, name));
        EXPECT_EQ(name, u"");
    }
    EXPECT_EQ(listing(), (std::vector<std::string> { "sub" }));
    EXPECT_TRUE(fs::is_empty(dir_ / "sub"));
}

TEST_F(TempFolder, FindFileIgnoringCase)
{
    write("Plan.JWW", "1");
    write("ΑΒΓ.png", "2"); // Greek capitals
    write("ｉｍｇ.bmp", "3"); // full-width letters
    write("exact.TXT", "4");
    write("EXACT.txt", "5");
    fs::create_directory(dir_ / "Folder.jww");
    struct Case {
        std::u16string name, want;
    } cases[] = {
        { u"plan.jww", u"Plan.JWW" },
        { u"PLAN.JWW", u"Plan.JWW" },
        { u"αβγ.PNG", u"ΑΒΓ.png" },
        { u"ＩＭＧ.BMP", u"ｉｍｇ.bmp" },
        { u"EXACT.txt", u"EXACT.txt" }, // the exact name wins
        { u"Exact.Txt", u"EXACT.txt" }, // else the smallest name, whatever the listing order
        { u"folder.jww", u"" }, // folders are not files
        { u"plan.jw", u"" },
        { u"sub/plan.jww", u"" },
        { u"..", u"" },
        { u"", u"" },
    };
    for (const auto& c : cases) {
        std::u16string want = c.want.empty() ? u"" : folder() + c.want;
        EXPECT_EQ(detail::find_file_ignoring_case(folder(), c.name), want) << u8(c.name);
    }
    // The folder may come without its separator, or with Windows ones.
    EXPECT_EQ(detail::find_file_ignoring_case(u16(dir_.string()), u"plan.jww"), folder() + u"Plan.JWW");
    EXPECT_EQ(detail::find_file_ignoring_case(folder() + u"none", u"plan.jww"), u"");
    EXPECT_EQ(detail::find_file_ignoring_case(u"", u"plan.jww"), u"");
}

// ---- Dates

TEST(Func2Dates, MakeAndSplit)
{
    EXPECT_EQ(detail::make_date(1899, 12, 30), 0);
    EXPECT_EQ(detail::make_date(1900, 1, 1), 2);
    EXPECT_EQ(detail::make_date(2000, 1, 1), 36526);
    EXPECT_EQ(detail::make_date(1899, 12, 29), -1);
    EXPECT_EQ(detail::make_date_time(2000, 1, 1, 12, 0, 0), 36526.5);
    // Before the epoch the time of day counts away from zero.
    EXPECT_EQ(detail::make_date_time(1899, 12, 29, 6, 0, 0), -1.25);
    EXPECT_EQ(detail::date_time_from_unix(0), 25569);
    EXPECT_EQ(detail::date_time_from_unix(86400 + 43200), 25570.5);

    struct Case {
        int y, mo, d, h, mi, s, ms, dow;
    } cases[] = {
        { 1899, 12, 30, 0, 0, 0, 0, 7 },
        { 1899, 12, 29, 6, 0, 0, 0, 6 },
        { 1868, 10, 22, 23, 59, 59, 0, 5 },
        { 1900, 2, 28, 0, 0, 0, 0, 4 },
        { 1900, 3, 1, 0, 0, 0, 0, 5 },
        { 2000, 2, 29, 13, 14, 15, 16, 3 },
        { 2024, 1, 1, 8, 30, 0, 0, 2 },
        { 2019, 5, 1, 0, 0, 0, 1, 4 },
        { 9999, 12, 31, 23, 59, 59, 999, 6 },
        { 1, 1, 1, 0, 0, 0, 0, 2 },
    };
    for (const auto& c : cases) {
        auto p = detail::split_date_time(detail::make_date_time(c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms));
        EXPECT_EQ(p.year, c.y);
        EXPECT_EQ(p.month, c.mo) << c.y;
        EXPECT_EQ(p.day, c.d) << c.y;
        EXPECT_EQ(p.hour, c.h) << c.y;
        EXPECT_EQ(p.minute, c.mi) << c.y;
        EXPECT_EQ(p.second, c.s) << c.y;
        EXPECT_EQ(p.millisecond, c.ms) << c.y;
        EXPECT_EQ(p.day_of_week, c.dow) << c.y << "-" << c.mo << "-" << c.d;
    }
    auto late = detail::split_date_time(detail::date_time_from_unix(-1));
    EXPECT_EQ(late.year, 1969);
    EXPECT_EQ(late.day, 31);
    EXPECT_EQ(late.second, 59);
    // Just short of midnight rounds into the next day rather than giving hour 24.
    auto next = detail::split_date_time(detail::make_date(2000, 1, 1) + 0.9999999999);
    EXPECT_EQ(next.day, 2);
    EXPECT_EQ(next.hour, 0);
    // Values no calendar holds give the epoch rather than garbage.
    for (double bad : { std::nan(""), 1e300, -1e300, 3e6 })
        EXPECT_EQ(detail::split_date_time(bad).year, 1899);
}

TEST(Func2Dates, GetEraYearAroundEveryBoundary)
{
    struct Case {
        int y, m, d;
        const char16_t* era;
        const char16_t* eraYear;
        const char16_t* finalEra;
        const char16_t* finalYear;
    } cases[] = {
        { 1800, 1, 1, u"", u"", u"", u"" },
        { 1868, 10, 22, u"", u"", u"", u"" },
        { 1868, 10, 23, u"明治", u"1", u"明治", u"1" },
        { 1912, 7, 29, u"明治", u"45", u"明治", u"45" },
        { 1912, 7, 30, u"大正", u"1", u"大正", u"1" },
        { 1926, 12, 24, u"大正", u"15", u"大正", u"15" },
        { 1926, 12, 25, u"昭和", u"1", u"昭和", u"1" },
        { 1989, 1, 7, u"昭和", u"64", u"昭和", u"64" },
        { 1989, 1, 8, u"平成", u"1", u"平成", u"1" },
        { 2019, 4, 30, u"平成", u"31", u"平成", u"31" },
        { 2019, 5, 1, u"平成", u"31", u"令和", u"1" },
        { 2025, 6, 1, u"平成", u"37", u"令和", u"7" },
    };
    for (const auto& c : cases) {
        // Late in the day, so that the time of day cannot push a date across a boundary.
        for (double t : { detail::make_date(c.y, c.m, c.d), detail::make_date_time(c.y, c.m, c.d, 23, 59, 59) }) {
            std::u16string yearText, eraName = u"x", eraYear = u"x", finalEraYear, finalEraName;
            GetEraYear(t, yearText, eraName, eraYear, finalEraYear, finalEraName);
            EXPECT_EQ(yearText, u16(std::to_string(c.y)));
            EXPECT_EQ(eraName, c.era) << c.y << "-" << c.m << "-" << c.d;
            EXPECT_EQ(eraYear, c.eraYear) << c.y << "-" << c.m << "-" << c.d;
            EXPECT_EQ(finalEraName, c.finalEra) << c.y << "-" << c.m << "-" << c.d;
            EXPECT_EQ(finalEraYear, c.finalYear) << c.y << "-" << c.m << "-" << c.d;
        }
    }
}

} // namespace
