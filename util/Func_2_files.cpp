// Func_2: paths, files, folders, image files from memory, and dates with their Japanese era.
#include "util/Func_2_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/Cp932.h"
#include "platform/TextFile.h"
#include "util/Func_2_text.h"

namespace fs = std::filesystem;

namespace {

bool is_sep(char16_t c) { return c == u'\\' || c == u'/'; }

// Index just past the last separator, 0 when there is none.
size_t name_start(const std::u16string& path)
{
    for (size_t i = path.size(); i > 0; --i)
        if (is_sep(path[i - 1]))
            return i;
    return 0;
}

// Unpaired surrogates other than the escapes of bytes that are not UTF-8 have no file name to stand for.
bool has_lone_surrogate(const std::u16string& s)
{
    for (size_t i = 0; i < s.size(); ++i) {
        char16_t c = s[i];
        if (platform::is_path_byte_escape(c))
            continue;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
                ++i;
                continue;
            }
            return true;
        }
        if (c >= 0xDC00 && c <= 0xDFFF)
            return true;
    }
    return false;
}

// What the kernel would refuse, plus lone surrogates, which would silently turn into another name.
bool valid_path(const std::u16string& path)
{
    if (path.empty())
        return false;
    if (std::all_of(path.begin(), path.end(), [](char16_t c) { return c == u' '; }))
        return false;
    if (path.find(u'\0') != std::u16string::npos)
        return false;
    if (has_lone_surrogate(path))
        return false;
    // PATH_MAX counts the terminating NUL.
    return platform::path_to_bytes(path).size() < PATH_MAX;
}

// Path components, split at either separator, empty ones dropped.
std::vector<std::u16string> components(const std::u16string& path)
{
    std::vector<std::u16string> out;
    std::u16string cur;
    for (char16_t c : path) {
        if (is_sep(c)) {
            if (!cur.empty())
                out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        out.push_back(cur);
    return out;
}

bool has_dot_dot(const std::u16string& path)
{
    auto parts = components(path);
    return std::find(parts.begin(), parts.end(), u"..") != parts.end();
}

bool has_drive_letter(const std::u16string& name)
{
    if (name.size() < 2 || name[1] != u':')
        return false;
    char16_t c = name[0];
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// A name that stays inside its folder: no separator, not "." or "..", no drive prefix.
bool plain_file_name(const std::u16string& name)
{
    if (name.empty() || name == u"." || name == u"..")
        return false;
    if (std::any_of(name.begin(), name.end(), is_sep))
        return false;
    return !has_drive_letter(name);
}

// A path the file system here can reach. Drive letters and UNC shares of Windows paths cannot
// resolve; turned into relative or root paths they would reach the wrong place.
bool resolvable(const std::u16string& path)
{
    if (!valid_path(path) || has_drive_letter(path))
        return false;
    return !(path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\');
}

// A destination under a folder the caller chose: reachable, no "..", and a plain last name.
bool safe_destination(const std::u16string& path)
{
    if (!resolvable(path) || has_dot_dot(path))
        return false;
    return plain_file_name(path.substr(name_start(path)));
}

// Folder of a native path for the temporary sibling; "." for a bare name.
std::string native_folder_of(const std::string& native)
{
    size_t p = native.rfind('/');
    if (p == std::string::npos)
        return ".";
    if (p == 0)
        return "/";
    return native.substr(0, p);
}

bool write_all(int fd, const uint8_t* p, size_t n)
{
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (w == 0)
            return false;
        p += w;
        n -= size_t(w);
    }
    return true;
}

// A file written under a temporary name beside its destination and renamed into place on commit,
// so that a failure never leaves a partial file under the real name.
class AtomicFile {
public:
    explicit AtomicFile(const std::string& dst)
        : dst_(dst)
    {
        std::string tmpl = native_folder_of(dst) + "/.torvane-XXXXXX";
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        fd_ = ::mkostemp(buf.data(), O_CLOEXEC);
        if (fd_ < 0)
            return;
        tmp_.assign(buf.data());
        ::fchmod(fd_, 0644);
    }
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!tmp_.empty())
            ::unlink(tmp_.c_str());
    }
    bool ok() const { return fd_ >= 0; }
    bool write(const uint8_t* p, size_t n) { return fd_ >= 0 && write_all(fd_, p, n); }
    bool commit()
    {
        if (fd_ < 0)
            return false;
        int rc = ::close(fd_);
        fd_ = -1;
        if (rc != 0)
            return false;
        if (::rename(tmp_.c_str(), dst_.c_str()) != 0)
            return false;
        tmp_.clear();
        return true;
    }

private:
    std::string dst_;
    std::string tmp_;
    int fd_ = -1;
};

int64_t days_from_civil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civil_from_days(int64_t z, int& y, int& m, int& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2));
}

// Day number of 1899-12-30 counted from 1970-01-01.
constexpr int64_t kEpochOffset = -25569;
constexpr int64_t kMsPerDay = 86400000;
// 0001-01-01 and 9999-12-31, the range the drawings' platform can hold.
constexpr double kMinDate = -693593.0;
constexpr double kMaxDate = 2958466.0;

std::u16string decimal(int64_t v) { return platform::utf8_to_utf16(std::to_string(v)); }

} // namespace

std::u16string AddPathDelim(const std::u16string& path)
{
    if (!path.empty() && is_sep(path.back()))
        return path;
    return path + PathDelim;
}

std::u16string ExtractFolder(const std::u16string& path)
{
    if (!valid_path(path))
        return u"";
    return AddPathDelim(path.substr(0, name_start(path)));
}

std::u16string ExtractName(const std::u16string& path)
{
    if (!valid_path(path))
        return u"";
    return path.substr(name_start(path));
}

std::u16string ChangeExt(const std::u16string& path, const std::u16string& ext)
{
    if (!valid_path(path))
        return u"";
    size_t start = name_start(path);
    size_t dot = path.rfind(u'.');
    std::u16string out = (dot != std::u16string::npos && dot >= start) ? path.substr(0, dot) : path;
    if (!ext.empty() && ext[0] != u'.')
        out += u'.';
    return out + ext;
}

int SplitPathNames(const std::u16string& path, std::vector<std::u16string>& names, int maxIndex)
{
    if (maxIndex < 0)
        maxIndex = 0;
    if (names.size() < size_t(maxIndex) + 1)
        names.resize(size_t(maxIndex) + 1);
    for (int k = 0; k <= maxIndex; ++k)
        names[size_t(k)].clear();
    int i = 0;
    auto advance = [&] {
        ++i;
        if (i > maxIndex) {
            i = maxIndex;
            names[size_t(maxIndex)].clear();
        }
    };
    for (size_t k = 0; k < path.size(); ++k) {
        char16_t c = path[k];
        if (is_sep(c) && k + 1 < path.size() && path[k + 1] == c) {
            advance();
            ++k;
        } else if (is_sep(c)) {
            advance();
        } else {
            names[size_t(i)] += c;
        }
    }
    return i;
}

bool IsFile(const std::u16string& path)
{
    if (!resolvable(path))
        return false;
    std::error_code ec;
    return fs::is_regular_file(fs::path(detail::native_path(path)), ec);
}

bool IsFolder(const std::u16string& path)
{
    if (!resolvable(path))
        return false;
    std::error_code ec;
    return fs::is_directory(fs::path(detail::native_path(path)), ec);
}

bool MakeFolder(const std::u16string& path)
{
    if (!resolvable(path))
        return false;
    std::error_code ec;
    fs::path p(detail::native_path(path));
    fs::create_directories(p, ec);
    return fs::is_directory(p, ec);
}

bool EraseFile(const std::u16string& path)
{
    if (!resolvable(path))
        return false;
    // unlink never removes a folder, unlike std::filesystem::remove.
    return ::unlink(detail::native_path(path).c_str()) == 0;
}

bool EraseFolder(const std::u16string& path)
{
    if (!resolvable(path))
        return false;
    return ::rmdir(detail::native_path(path).c_str()) == 0;
}

bool CopyFileData(const std::u16string& src, const std::u16string& dst)
{
    if (!resolvable(src) || !safe_destination(dst))
        return false;
    std::string native_dst = detail::native_path(dst);
    // Non-blocking open so that a FIFO under the source name cannot hang the run.
    int in = ::open(detail::native_path(src).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0) {
        ::unlink(native_dst.c_str());
        return false;
    }
    bool ok = false;
    struct stat st { };
    if (::fstat(in, &st) == 0 && S_ISREG(st.st_mode)) {
        AtomicFile out(native_dst);
        ok = out.ok();
        uint8_t buf[4096];
        while (ok) {
            ssize_t n = ::read(in, buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                ok = false;
            if (n <= 0)
                break;
            ok = out.write(buf, size_t(n));
        }
        ok = ok && out.commit();
    }
    ::close(in);
    if (!ok)
        ::unlink(native_dst.c_str());
    return ok;
}

bool WriteImageFile(
    int kind, int64_t size, const std::u16string& base, std::span<const uint8_t> data, std::u16string& name)
{
    name.clear();
    const char16_t* ext = nullptr;
    switch (kind) {
    case 1: ext = u".JPG"; break;
    case 2: ext = u".PNG"; break;
    case 10: ext = u".GIF"; break;
    case 11: ext = u".TIF"; break;
    case 12: ext = u".BMP"; break;
    default: return false;
    }
    if (size < 0 || uint64_t(size) > data.size())
        return false;
    std::u16string full = base + ext;
    if (!safe_destination(base) || !safe_destination(full))
        return false;
    std::string native = detail::native_path(full);
    AtomicFile out(native);
    const uint8_t* p = data.data();
    size_t left = size_t(size);
    bool ok = out.ok();
    while (ok && left > 0) {
        size_t piece = std::min<size_t>(left, 2048);
        ok = out.write(p, piece);
        p += piece;
        left -= piece;
    }
    if (!(ok && out.commit())) {
        ::unlink(native.c_str());
        return false;
    }
    name = full;
    return true;
}

void GetEraYear(TDateTime date, std::u16string& yearText, std::u16string& eraName, std::u16string& eraYear,
    std::u16string& finalEraYear, std::u16string& finalEraName)
{
    detail::DateTimeParts p = detail::split_date_time(date);
    const int64_t Y = p.year;
    const int64_t d = Y * 10000 + p.month * 100 + p.day;
    yearText = decimal(Y);
    eraName.clear();
    eraYear.clear();
    if (d >= 19890108) {
        eraName = u"平成";
        eraYear = decimal(Y - 1988);
    } else if (d >= 19261225) {
        eraName = u"昭和";
        eraYear = decimal(Y - 1925);
    } else if (d >= 19120730) {
        eraName = u"大正";
        eraYear = decimal(Y - 1911);
    } else if (d >= 18681023) {
        eraName = u"明治";
        eraYear = decimal(Y - 1867);
    }
    finalEraName = eraName;
    finalEraYear = eraYear;
    if (d >= 20190501) {
        finalEraName = u"令和";
        finalEraYear = decimal(Y - 2018);
    }
}

namespace detail {

std::string native_path(const std::u16string& path)
{
    std::u16string p = path;
    std::replace(p.begin(), p.end(), u'\\', u'/');
    return platform::fs_path(p).native();
}

std::u16string find_file_ignoring_case(const std::u16string& folder, const std::u16string& name)
{
    if (!resolvable(folder) || !plain_file_name(name) || has_lone_surrogate(name))
        return u"";
    const std::u16string key = LowerText(UpperText(name));
    const std::u16string prefix = AddPathDelim(folder);
    std::error_code ec;
    fs::directory_iterator it(fs::path(native_path(folder)), ec);
    if (ec)
        return u"";
    std::string best;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        std::string entry = it->path().filename().string();
        std::u16string wide = platform::path_from_bytes(entry);
        if (wide != name && LowerText(UpperText(wide)) != key)
            continue;
        std::error_code ec2;
        if (!fs::is_regular_file(it->path(), ec2))
            continue;
        // The exact name wins; otherwise the smallest name, so the answer never depends on listing order.
        if (wide == name)
            return prefix + wide;
        if (best.empty() || entry < best)
            best = entry;
    }
    if (best.empty())
        return u"";
    return prefix + platform::path_from_bytes(best);
}

TDateTime make_date(int year, int month, int day) { return double(days_from_civil(year, month, day) - kEpochOffset); }

TDateTime make_date_time(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    double date = make_date(year, month, day);
    double time = double(((int64_t(hour) * 60 + minute) * 60 + second) * 1000 + millisecond) / double(kMsPerDay);
    // Before the epoch the time of day is counted away from zero.
    return date < 0 ? date - time : date + time;
}

DateTimeParts split_date_time(TDateTime t)
{
    DateTimeParts p;
    if (!(t >= kMinDate && t < kMaxDate))
        return p;
    int64_t days = int64_t(std::trunc(t));
    int64_t ms = std::llround(std::fabs(t - std::trunc(t)) * double(kMsPerDay));
    if (ms >= kMsPerDay) {
        ++days;
        ms = 0;
    }
    int64_t z = days + kEpochOffset;
    civil_from_days(z, p.year, p.month, p.day);
    p.hour = int(ms / 3600000);
    p.minute = int(ms / 60000 % 60);
    p.second = int(ms / 1000 % 60);
    p.millisecond = int(ms % 1000);
    // 1970-01-01 was a Thursday.
    p.day_of_week = int(((z % 7) + 7 + 4) % 7) + 1;
    return p;
}

TDateTime date_time_from_unix(int64_t seconds)
{
    int64_t days = seconds / 86400;
    int64_t rem = seconds % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    int y = 0, m = 0, d = 0;
    civil_from_days(days, y, m, d);
    return make_date_time(y, m, d, int(rem / 3600), int(rem / 60 % 60), int(rem % 60));
}

} // namespace detail
