// Images stored inside ".jww" files: extraction while reading, gzip inflation, deletion, "%temp%" names.
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include "formats/jww/JwwUnit.h"
#include "util/Func_2_files.h"

namespace {

constexpr size_t kPiece = 2048;

bool write_all(int fd, const uint8_t* p, size_t n)
{
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        p += w;
        n -= size_t(w);
    }
    return true;
}

// Creates or empties a file for writing; never follows a link planted in its place.
int create_file(const std::u16string& path)
{
    return ::open(detail::native_path(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
}

bool is_gz(const std::u16string& name)
{
    size_t dot = name.rfind(u'.');
    if (dot == std::u16string::npos || name.size() - dot != 3)
        return false;
    char16_t a = name[dot + 1], b = name[dot + 2];
    return (a == u'g' || a == u'G') && (b == u'z' || b == u'Z');
}

std::u16string without_ext(const std::u16string& name)
{
    size_t dot = name.rfind(u'.');
    return dot == std::u16string::npos ? name : name.substr(0, dot);
}

void write_bind_image(const std::u16string& folder, const std::u16string& stored, std::span<const uint8_t> data)
{
    std::u16string name = detail::bind_image_plain_name(stored);
    if (folder.empty() || name.empty())
        return;
    std::u16string path = folder + name;
    int fd = create_file(path);
    bool ok = fd >= 0;
    for (size_t at = 0; ok && at < data.size(); at += kPiece)
        ok = write_all(fd, data.data() + at, std::min(kPiece, data.size() - at));
    if (fd >= 0 && ::close(fd) != 0)
        ok = false;
    if (!ok)
        EraseFile(path);
}

} // namespace

namespace detail {

JwwInflate inflate_gzip_file(const std::u16string& source, const std::u16string& target, uint64_t budget)
{
    using Inflated = JwwInflate;
    int in = ::open(detail::native_path(source).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0)
        return Inflated::failed;
    int out = create_file(target);
    if (out < 0) {
        ::close(in);
        return Inflated::failed;
    }
    z_stream z {};
    Inflated result = Inflated::failed;
    if (inflateInit2(&z, 31) == Z_OK) {
        std::vector<uint8_t> ibuf(1 << 16), obuf(1 << 16);
        uint64_t written = 0;
        int zr = Z_OK;
        bool io_ok = true;
        while (io_ok && zr != Z_STREAM_END) {
            ssize_t r = ::read(in, ibuf.data(), ibuf.size());
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                break;
            z.next_in = ibuf.data();
            z.avail_in = uInt(r);
            do {
                z.next_out = obuf.data();
                z.avail_out = uInt(obuf.size());
                zr = inflate(&z, Z_NO_FLUSH);
                if (zr != Z_OK && zr != Z_STREAM_END && zr != Z_BUF_ERROR) {
                    io_ok = false;
                    break;
                }
                size_t have = obuf.size() - z.avail_out;
                written += have;
                if (written > budget) {
                    result = Inflated::too_large;
                    io_ok = false;
                    break;
                }
                if (!write_all(out, obuf.data(), have)) {
                    io_ok = false;
                    break;
                }
            } while (zr != Z_STREAM_END && z.avail_out == 0);
        }
        if (zr == Z_STREAM_END && io_ok)
            result = Inflated::done;
        inflateEnd(&z);
    }
    ::close(out);
    ::close(in);
    // Past the budget the output is removed rather than left half-written on the disk.
    if (result == Inflated::too_large)
        EraseFile(target);
    return result;
}

void read_bind_image_table(
    JwwArchive& ar, bool& moji_encode, const std::u16string& folder, bool write, std::vector<TBindImageType>& table)
{
    int32_t count = ar.i32();
    for (int32_t i = 0; i < count; ++i) {
        if (ar.at_end())
            throw JwwIoError(kJwwIoMessage);
        TBindImageType& e = table.emplace_back();
        e.Fname = read_clean_string(ar, moji_encode);
        e.Fsize = ar.i32();
        if (e.Fname.empty() || e.Fsize == 0)
            continue;
        auto data = ar.take(e.Fsize > 0 ? size_t(e.Fsize) : 0);
        if (write)
            write_bind_image(folder, e.Fname, data);
    }
}

} // namespace detail

void TJwwData::BindImageExplode()
{
    if (BindImageFolder.empty())
        return;
    for (int32_t i = 0; i < BindImageN && size_t(i) < BindImage.size(); ++i) {
        std::u16string name = detail::bind_image_plain_name(BindImage[size_t(i)].Fname);
        if (!is_gz(name))
            continue;
        std::u16string source = BindImageFolder + name;
        std::u16string plain = without_ext(name);
        if (detail::bind_image_plain_name(plain).empty() || !IsFile(source))
            continue;
        detail::inflate_gzip_file(source, BindImageFolder + plain, detail::kJwwMaxInflatedBytes);
    }
}

bool detail::is_gz_name(const std::u16string& name) { return is_gz(name); }

void detail::delete_bind_images(
    const std::u16string& folder, const std::vector<TBindImageType>& table, int32_t n, bool gz_files)
{
    if (folder.empty())
        return;
    for (int32_t i = 0; i < n && size_t(i) < table.size(); ++i) {
        std::u16string name = detail::bind_image_plain_name(table[size_t(i)].Fname);
        if (gz_files) {
            if (is_gz(name))
                EraseFile(folder + name);
            continue;
        }
        if (is_gz(name))
            name = without_ext(name);
        if (!detail::bind_image_plain_name(name).empty())
            EraseFile(folder + name);
    }
}

void TJwwData::BindImageDeleteGzFile() { detail::delete_bind_images(BindImageFolder, BindImage, BindImageN, true); }

void TJwwData::BindImageDeleteNonGzFile() { detail::delete_bind_images(BindImageFolder, BindImage, BindImageN, false); }

std::u16string TJwwData::bind_image_path(const std::u16string& name) const
{
    if (name.compare(0, 6, u"%temp%") != 0)
        return name;
    std::u16string plain = detail::bind_image_plain_name(name.substr(6));
    if (BindImageFolder.empty() || plain.empty())
        return u"";
    return BindImageFolder + plain;
}
