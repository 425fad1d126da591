// Drawing once, pixels on demand: the drawings of bench/bands_bench.sh, a conversion run by the real driver
// in-process (bands, or the old way: one band as large as the image), the geometry its display list holds for
// the floor (cairo_floor), and the PNG encoder options measured on one rendered picture.
//
//   bands_bench write lines|long-lines|texts N PAPER FILE.jww   PAPER: Jw paper code (0 = A0 ... 4 = A4)
//   bands_bench convert FOLDER FILE.jww OUT [threads T] [rows R] [whole]
//   bands_bench geometry FOLDER FILE.jww OUT.txt
//   bands_bench png-options FOLDER FILE.jww
// FOLDER holds the Torvane.dat that sets the resolution, as beside the executable.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <libdeflate.h>
#include <spng.h>
#include <string>
#include <vector>
#include <vips/vips.h>
#include <zlib.h>

#include "app/Unit1.h"
#include "platform/Cp932.h"
#include "platform/ImageSave.h"
#include "platform/OutputFile.h"
#include "platform/PngSave.h"
#include "platform/RasterSource.h"
#include "platform/RasterWrite.h"
#include "platform/TextFile.h"
#include "platform/Vips.h"
#include "tests/support/jww_writer.h"
#include "util/PaperSize.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

double cpu_seconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

double peak_mib()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

// ---- Drawings.

int write_drawing(const std::string& kind, int n, int paper, const fs::path& file)
{
    jwwtest::JwwWriter w(600);
    w.Enthd.nZumen = paper;
    const detail::PaperSize sheet = detail::paper_size(paper);
    const double px = sheet.x, py = sheet.y;
    uint32_t state = 12345;
    auto rnd = [&state](double lo, double hi) {
        state = state * 1664525u + 1013904223u;
        return lo + (hi - lo) * ((state >> 8) / double(1u << 24));
    };
    // Lines as on an A3 sheet, scaled with the paper: about 270 pixels long at A3 300 dpi.
    const double k = px / 420;
    const std::u16string pool = u"A1図面ab寸法X線部材3mｶﾅ平面立断詳細W9通芯";
    for (int i = 0; i < n; ++i) {
        const double x1 = rnd(-0.48, 0.48) * px, y1 = rnd(-0.48, 0.48) * py;
        const auto pen = jwwtest::attr(1 + i % 8, 1);
        if (kind == "lines") {
            w.add(jwwtest::line(x1, y1, x1 + rnd(-30, 30) * k, y1 + rnd(-30, 30) * k, pen));
        } else if (kind == "long-lines") {
            w.add(jwwtest::line(x1, y1, rnd(-0.48, 0.48) * px, rnd(-0.48, 0.48) * py, pen));
        } else if (kind == "texts") {
            const double a = i % 4 == 0 ? 0.5236 : 0;
            std::u16string s;
            for (int c = 0; c < 10; ++c)
                s.push_back(pool[size_t((i * 7 + c * 3) % int(pool.size()))]);
            w.add(jwwtest::text(x1, y1, x1 + 10 * k * std::cos(a), y1 + 10 * k * std::sin(a), 2.5 * k, 2.5 * k, 0, 1,
                      jwwtest::attr(1 + i % 8)),
                u"ＭＳ ゴシック", s);
        } else {
            return 2;
        }
    }
    const std::vector<uint8_t> bytes = w.bytes();
    std::ofstream f(file, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return f ? 0 : 1;
}

// ---- The driver in-process: load, size, draw into Image1.

struct Driver {
    TForm1 form;
    double load_s = 0, draw_s = 0;

    Driver(const fs::path& folder, const fs::path& drawing)
    {
        const std::u16string src = platform::from_fs_path(drawing);
        form.FormCreate({ platform::from_fs_path(folder / "torvanesub"), u"a", u"b", src, u"out.png" },
            platform::from_fs_path(folder));
        auto t = Clock::now();
        form.proc2(src);
        load_s = since(t);
        t = Clock::now();
        double sx = 0, sy = 0;
        form.GetDotSize(2, sx, sy);
        form.dispSub(2, sx, sy);
        draw_s = since(t);
    }
    ~Driver() { form.FormClose(); }
};

int convert(const fs::path& folder, const fs::path& drawing, const fs::path& out, int argc, char** argv)
{
    platform::RasterOptions o;
    bool whole = false;
    for (int i = 0; i < argc; ++i) {
        if (!std::strcmp(argv[i], "threads") && i + 1 < argc)
            o.threads = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "rows") && i + 1 < argc)
            o.band_rows = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "whole"))
            whole = true;
    }
    Driver d(folder, drawing);
    platform::DisplayList& list = d.form.Image1;
    // The old way: the whole image is one band, drawn once onto one bitmap by one thread, then encoded.
    if (whole)
        o.band_rows = list.height();
    const auto t = Clock::now();
    const double c = cpu_seconds();
    std::string error;
    const bool ok = platform::save_display_list(list, out, error, {}, o);
    std::printf(
        "load %.3f s  draw %.3f s  write %.3f s (cpu %.3f s)  calls %zu  list %.1f MiB  peak %.0f MiB  %dx%d%s\n",
        d.load_s, d.draw_s, since(t), cpu_seconds() - c, list.calls(), list.bytes() / 1048576.0, peak_mib(),
        list.width(), list.height(), ok ? "" : ("  FAILED: " + error).c_str());
    return ok ? 0 : 1;
}

// ---- The geometry the floor draws.

int geometry(const fs::path& folder, const fs::path& drawing, const fs::path& out)
{
    Driver d(folder, drawing);
    const platform::DisplayList& list = d.form.Image1;
    std::ofstream f(out, std::ios::trunc);
    f << "size " << list.width() << ' ' << list.height() << '\n';
    char buf[512];
    for (const auto* r : list.drawn()) {
        using Op = platform::DisplayList::Op;
        if (r->op == Op::Line) {
            std::snprintf(buf, sizeof buf, "L %.4f %.4f %.4f %.4f %x %.3f\n", r->pts[0].X, r->pts[0].Y, r->pts[1].X,
                r->pts[1].Y, r->stroke.Color, r->stroke.Thickness);
            f << buf;
        } else if (r->op == Op::Text) {
            const platform::Matrix& m = r->transform;
            std::snprintf(buf, sizeof buf, "T %.9g %.9g %.9g %.9g %.9g %.9g %x %.4f %.4f %.4f %s ", m.xx, m.yx, m.xy,
                m.yy, m.x0, m.y0, r->fill_color, r->font.SizePx, r->rect.Left, r->rect.Top, r->font.Family.c_str());
            f << buf << platform::utf16_to_utf8(r->text) << '\n';
        }
    }
    return f ? 0 : 1;
}

// ---- PNG encoders on one picture.

struct Encoded {
    double seconds = 0;
    double cpu = 0;
    size_t bytes = 0;
};

Encoded timed(const std::function<size_t()>& encode)
{
    const auto t = Clock::now();
    const double c = cpu_seconds();
    const size_t n = encode();
    return { since(t), cpu_seconds() - c, n };
}

// PNG's filters on 3-byte pixels, the way every encoder applies them to a whole row.
std::vector<uint8_t> filtered(const std::vector<uint8_t>& rgb, int w, int h, int filter)
{
    const size_t row = size_t(w) * 3;
    std::vector<uint8_t> out(size_t(h) * (row + 1));
    std::vector<uint8_t> zero(row);
    for (int y = 0; y < h; ++y) {
        const uint8_t* cur = rgb.data() + size_t(y) * row;
        const uint8_t* prev = y ? cur - row : zero.data();
        uint8_t* o = out.data() + size_t(y) * (row + 1);
        o[0] = uint8_t(filter);
        for (size_t i = 0; i < row; ++i)
            o[1 + i] = filter == 0 ? cur[i]
                : filter == 1      ? uint8_t(cur[i] - (i >= 3 ? cur[i - 3] : 0))
                                   : uint8_t(cur[i] - prev[i]);
    }
    return out;
}

int png_options(const fs::path& folder, const fs::path& drawing)
{
    Driver d(folder, drawing);
    platform::DisplayList& list = d.form.Image1;
    const int w = list.width(), h = list.height();
    platform::BandSource src(list);
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    platform::RenderScratch scratch;
    src.render({ 0, 0, w, h }, rgb.data(), size_t(w) * 3, scratch);

    // A source that hands out the picture already drawn, so only encoding is timed.
    struct Drawn final : platform::RasterSource {
        const std::vector<uint8_t>& px;
        int w, h;
        Drawn(const std::vector<uint8_t>& p, int ww, int hh)
            : RasterSource(platform::PixelLayout {})
            , px(p)
            , w(ww)
            , h(hh)
        {
        }
        int width() const override { return w; }
        int height() const override { return h; }
        bool render(const platform::PixelRect& r, uint8_t* out, size_t stride, platform::RenderScratch&) const override
        {
            for (int y = r.y0; y < r.y1; ++y)
                std::memcpy(
                    out + size_t(y - r.y0) * stride, px.data() + (size_t(y) * w + r.x0) * 3, size_t(r.width()) * 3);
            return true;
        }
    } drawn(rgb, w, h);

    std::printf("| encoder | settings | wall s | cpu s | MiB |\n|---|---|---:|---:|---:|\n");
    auto row = [](const char* enc, const std::string& set, Encoded e) {
        std::printf("| %s | %s | %.3f | %.3f | %.2f |\n", enc, set.c_str(), e.seconds, e.cpu, e.bytes / 1048576.0);
        std::fflush(stdout);
    };
    VipsImage* im = vips_image_new_from_memory(rgb.data(), rgb.size(), w, h, 3, VIPS_FORMAT_UCHAR);
    const char* filters[] = { "none", "sub", "up", "all" };
    const VipsForeignPngFilter vf[] = { VIPS_FOREIGN_PNG_FILTER_NONE, VIPS_FOREIGN_PNG_FILTER_SUB,
        VIPS_FOREIGN_PNG_FILTER_UP, VIPS_FOREIGN_PNG_FILTER_ALL };
    for (int level : { 6, 1, 9 })
        for (int f = 0; f < 4; ++f) {
            if (level != 6 && f != 0 && f != 2)
                continue;
            row("libvips pngsave (libpng, zlib)", "level " + std::to_string(level) + ", filter " + filters[f],
                timed([&] {
                    void* buf = nullptr;
                    size_t len = 0;
                    vips_pngsave_buffer(im, &buf, &len, "compression", level, "filter", vf[f], nullptr);
                    g_free(buf);
                    return len;
                }));
        }
    g_object_unref(im);

    const int spng_filters[] = { SPNG_FILTER_CHOICE_NONE, SPNG_FILTER_CHOICE_SUB, SPNG_FILTER_CHOICE_UP };
    for (int level : { 1, 6 })
        for (int f = 0; f < 3; ++f)
            row("libspng (zlib)", "level " + std::to_string(level) + ", filter " + filters[f], timed([&] {
                spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
                spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
                spng_set_option(ctx, SPNG_IMG_COMPRESSION_LEVEL, level);
                spng_set_option(ctx, SPNG_FILTER_CHOICE, spng_filters[f]);
                spng_ihdr ihdr {};
                ihdr.width = uint32_t(w);
                ihdr.height = uint32_t(h);
                ihdr.bit_depth = 8;
                ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
                spng_set_ihdr(ctx, &ihdr);
                spng_encode_image(ctx, rgb.data(), rgb.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
                size_t len = 0;
                int err = 0;
                void* buf = spng_get_png_buffer(ctx, &len, &err);
                std::free(buf);
                spng_ctx_free(ctx);
                return len;
            }));

    // libdeflate compresses whole buffers only: one zlib stream of the whole filtered picture, on one core.
    for (int level : { 1, 6 })
        for (int f : { 0, 2 })
            row("libdeflate, whole picture", "level " + std::to_string(level) + ", filter " + filters[f], timed([&] {
                const std::vector<uint8_t> in = filtered(rgb, w, h, f);
                libdeflate_compressor* c = libdeflate_alloc_compressor(level);
                std::vector<uint8_t> out(libdeflate_zlib_compress_bound(c, in.size()));
                const size_t n = libdeflate_zlib_compress(c, in.data(), in.size(), out.data(), out.size());
                libdeflate_free_compressor(c);
                return n;
            }));

    const char* ours[] = { "none", "sub", "up", "paeth" };
    const platform::PngOptions::Filter of[] = { platform::PngOptions::Filter::None, platform::PngOptions::Filter::Sub,
        platform::PngOptions::Filter::Up, platform::PngOptions::Filter::Paeth };
    for (int threads : { 1, 2 })
        for (int level : { 1, 3, 6 })
            for (bool rle : { false, true })
                for (int f = 0; f < 4; ++f) {
                    if ((level != 1 || rle) && f != 0 && f != 2)
                        continue;
                    platform::PngOptions o;
                    o.threads = threads;
                    o.level = level;
                    o.rle = rle;
                    o.filter = of[f];
                    o.band_rows = platform::band_rows_for(w, 0);
                    row("ours: bands deflated in parallel (zlib)",
                        std::to_string(threads) + " thread" + (threads > 1 ? "s" : "") + ", level "
                            + std::to_string(level) + (rle ? " rle" : "") + ", filter " + ours[f],
                        timed([&] {
                            VipsTarget* t = vips_target_new_to_memory();
                            std::string error;
                            platform::write_png(drawn, t, o, error);
                            vips_target_end(t);
                            VipsBlob* blob = nullptr;
                            g_object_get(t, "blob", &blob, nullptr);
                            size_t n = 0;
                            if (blob) {
                                vips_blob_get(blob, &n);
                                vips_area_unref(VIPS_AREA(blob));
                            }
                            g_object_unref(t);
                            return n;
                        }));
                }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (!platform::vips_ready())
        return 1;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "write" && argc == 6)
        return write_drawing(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), argv[5]);
    if (mode == "convert" && argc >= 5)
        return convert(argv[2], argv[3], argv[4], argc - 5, argv + 5);
    if (mode == "geometry" && argc == 5)
        return geometry(argv[2], argv[3], argv[4]);
    if (mode == "png-options" && argc == 4)
        return png_options(argv[2], argv[3]);
    std::fprintf(stderr, "usage: see the opening lines of bench/bands_bench.cpp\n");
    return 2;
}
