// PNG from bands: each band's rows are drawn, filtered and deflated on a worker of their own, ended with
// a sync flush so the pieces join into one zlib stream, and written in order with Adler-32 combined.
#include "platform/PngSave.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <span>
#include <system_error>
#include <thread>
#include <vector>
#include <vips/vips.h>
#include <zlib.h>

#include "platform/Vips.h"

namespace platform {

namespace {

// A chunk's length is a 31-bit number; stay well below it.
constexpr size_t kMaxChunk = size_t(1) << 30;

bool write_all(VipsTarget* out, const uint8_t* p, size_t n, std::string& error)
{
    if (n == 0 || vips_target_write(out, p, n) == 0)
        return true;
    error = vips_error_line();
    return false;
}

void put_u32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

using Bytes = std::span<const uint8_t>;

// One chunk whose data is the parts in order.
bool write_chunk(VipsTarget* out, const char* type, std::span<const Bytes> parts, std::string& error)
{
    size_t n = 0;
    for (Bytes p : parts)
        n += p.size();
    uint8_t head[8];
    put_u32(head, uint32_t(n));
    std::memcpy(head + 4, type, 4);
    uLong crc = crc32(0, head + 4, 4);
    if (!write_all(out, head, 8, error))
        return false;
    for (Bytes p : parts) {
        if (!write_all(out, p.data(), p.size(), error))
            return false;
        crc = crc32_z(crc, p.data(), p.size());
    }
    uint8_t tail[4];
    put_u32(tail, uint32_t(crc));
    return write_all(out, tail, 4, error);
}

// The parts in order as IDAT chunks, none longer than a chunk may be.
bool write_idat(VipsTarget* out, std::vector<Bytes> parts, std::string& error)
{
    size_t at = 0;
    while (at < parts.size()) {
        std::vector<Bytes> chunk;
        size_t room = kMaxChunk;
        for (; at < parts.size() && room > 0; ++at) {
            Bytes& p = parts[at];
            if (p.size() > room) {
                chunk.push_back(p.first(room));
                p = p.subspan(room);
                room = 0;
                break;
            }
            chunk.push_back(p);
            room -= p.size();
        }
        if (!write_chunk(out, "IDAT", chunk, error))
            return false;
    }
    return true;
}

uint8_t paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return uint8_t(a);
    return uint8_t(pb <= pc ? b : c);
}

// Writes one filtered row: the filter's type byte, then the row's bytes as that filter predicts them.
void filter_row(PngOptions::Filter f, const uint8_t* cur, const uint8_t* prev, size_t n, size_t bpp, uint8_t* out)
{
    switch (f) {
    case PngOptions::Filter::None:
        out[0] = 0;
        std::memcpy(out + 1, cur, n);
        return;
    case PngOptions::Filter::Sub:
        out[0] = 1;
        for (size_t i = 0; i < n; ++i)
            out[1 + i] = uint8_t(cur[i] - (i >= bpp ? cur[i - bpp] : 0));
        return;
    case PngOptions::Filter::Up:
        out[0] = 2;
        for (size_t i = 0; i < n; ++i)
            out[1 + i] = uint8_t(cur[i] - prev[i]);
        return;
    case PngOptions::Filter::Paeth:
        out[0] = 4;
        for (size_t i = 0; i < n; ++i) {
            const int a = i >= bpp ? cur[i - bpp] : 0, c = i >= bpp ? prev[i - bpp] : 0;
            out[1 + i] = uint8_t(cur[i] - paeth(a, prev[i], c));
        }
        return;
    }
}

// A band ready to be written: its deflated bytes and the Adler-32 of what they hold.
struct Piece {
    std::vector<uint8_t> bytes;
    uLong adler = 1;
    size_t raw = 0;
    bool ready = false;
};

// One worker's buffers and compressor, kept from band to band.
class Worker {
public:
    Worker(const RasterSource& src, const PngOptions& o)
        : src_(src)
        , o_(o)
    {
        ok_ = deflateInit2(&z_, o.level, Z_DEFLATED, -15, 8, o.rle ? Z_RLE : Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~Worker()
    {
        if (ok_)
            deflateEnd(&z_);
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Draws, filters and deflates rows [y0, y1); the last band ends the deflate stream.
    bool make(int y0, int y1, bool last, Piece& out)
    {
        if (!ok_)
            return false;
        const int w = src_.width();
        const size_t row = size_t(w) * size_t(src_.bands());
        const size_t filtered = size_t(y1 - y0) * (row + 1);
        try {
            flat_.resize(filtered);
        } catch (const std::bad_alloc&) {
            return false;
        }
        if (o_.filter == PngOptions::Filter::None) {
            // Drawn straight into place behind each row's filter byte.
            if (!src_.render({ 0, y0, w, y1 }, flat_.data() + 1, row + 1, scratch_))
                return false;
            for (size_t y = 0; y < size_t(y1 - y0); ++y)
                flat_[y * (row + 1)] = 0;
        } else if (!filter(y0, y1, row)) {
            return false;
        }
        out.raw = filtered;
        out.adler = adler32_z(1, flat_.data(), filtered);
        return deflate_band(filtered, last, out.bytes);
    }

private:
    bool filter(int y0, int y1, size_t row)
    {
        // The filters that look up take the row above the band too.
        const bool above = o_.filter != PngOptions::Filter::Sub && y0 > 0;
        const int first = above ? y0 - 1 : y0;
        try {
            rgb_.resize(size_t(y1 - first) * row);
            zero_.resize(row);
        } catch (const std::bad_alloc&) {
            return false;
        }
        if (!src_.render({ 0, first, src_.width(), y1 }, rgb_.data(), row, scratch_))
            return false;
        for (int y = y0; y < y1; ++y) {
            const uint8_t* cur = rgb_.data() + size_t(y - first) * row;
            const uint8_t* prev = y > first ? cur - row : zero_.data();
            filter_row(o_.filter, cur, prev, row, size_t(src_.bands()), flat_.data() + size_t(y - y0) * (row + 1));
        }
        return true;
    }

    // Deflates flat_ into `out`, grown as the output needs rather than to its worst case.
    bool deflate_band(size_t n, bool last, std::vector<uint8_t>& out)
    {
        if (deflateReset(&z_) != Z_OK)
            return false;
        constexpr size_t kStep = size_t(1) << 20;
        out.clear();
        size_t in_at = 0;
        for (;;) {
            try {
                out.resize(out.size() + kStep);
            } catch (const std::bad_alloc&) {
                return false;
            }
            const size_t room = kStep;
            const size_t take = std::min<size_t>(n - in_at, 0x40000000);
            z_.next_in = flat_.data() + in_at;
            z_.avail_in = uInt(take);
            z_.next_out = out.data() + out.size() - room;
            z_.avail_out = uInt(room);
            const bool end_of_input = in_at + take == n;
            const int rc = deflate(&z_, end_of_input ? (last ? Z_FINISH : Z_SYNC_FLUSH) : Z_NO_FLUSH);
            in_at += take - z_.avail_in;
            out.resize(out.size() - z_.avail_out);
            if (rc == Z_STREAM_ERROR)
                return false;
            if (last && rc == Z_STREAM_END)
                return true;
            // A sync flush is complete once it leaves output room unused with all input taken.
            if (!last && in_at == n && z_.avail_in == 0 && z_.avail_out > 0)
                return true;
        }
    }

    const RasterSource& src_;
    const PngOptions& o_;
    z_stream z_ {};
    bool ok_ = false;
    RenderScratch scratch_;
    std::vector<uint8_t> rgb_, zero_, flat_;
};

int thread_count(int asked)
{
    if (asked > 0)
        return asked;
    if (vips_ready())
        return std::max(1, vips_concurrency_get());
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

// zlib's stream header: deflate with a 32 KiB window, the level's speed class, and the check bits.
std::array<uint8_t, 2> zlib_header(int level)
{
    const int speed = level <= 1 ? 0 : level <= 5 ? 1 : level == 6 ? 2 : 3;
    const int cmf = 0x78;
    int flg = speed << 6;
    flg += 31 - (cmf * 256 + flg) % 31;
    return { uint8_t(cmf), uint8_t(flg) };
}

} // namespace

bool write_png(const RasterSource& src, VipsTarget* out, const PngOptions& options, std::string& error)
{
    const int w = src.width(), h = src.height();
    if (w <= 0 || h <= 0) {
        error = "nothing to save";
        return false;
    }
    PngOptions o = options;
    o.level = std::clamp(o.level, 1, 9);
    const int rows = std::clamp(band_rows_for(w, o.band_rows), 1, h);
    const int bands = int((int64_t(h) + rows - 1) / rows);
    const int threads = std::clamp(thread_count(o.threads), 1, bands);
    const int window = 2 * threads;

    static constexpr uint8_t signature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    uint8_t ihdr[13];
    put_u32(ihdr, uint32_t(w));
    put_u32(ihdr + 4, uint32_t(h));
    ihdr[8] = 8; // bits per sample
    ihdr[9] = src.layout().alpha ? 6 : 2; // RGBA or RGB
    ihdr[10] = ihdr[11] = ihdr[12] = 0; // deflate, adaptive filters, no interlace
    const Bytes ihdr_data[] = { ihdr };
    if (!write_all(out, signature, sizeof signature, error) || !write_chunk(out, "IHDR", ihdr_data, error))
        return false;

    std::vector<Piece> slots(static_cast<size_t>(window));
    std::mutex lock;
    std::condition_variable changed;
    std::atomic<int> next { 0 };
    int written = 0;
    bool failed = false;
    auto work = [&] {
        std::unique_ptr<Worker> worker;
        try {
            worker = std::make_unique<Worker>(src, o);
        } catch (const std::bad_alloc&) {
        }
        for (;;) {
            const int k = next.fetch_add(1);
            if (k >= bands)
                return;
            Piece* slot = nullptr;
            {
                std::unique_lock<std::mutex> hold(lock);
                changed.wait(hold, [&] { return failed || k < written + window; });
                if (failed)
                    return;
                slot = &slots[size_t(k % window)];
            }
            const int y0 = k * rows, y1 = std::min(h, y0 + rows);
            const bool ok = worker && worker->make(y0, y1, k == bands - 1, *slot);
            std::lock_guard<std::mutex> hold(lock);
            if (!ok)
                failed = true;
            slot->ready = true;
            changed.notify_all();
        }
    };
    std::vector<std::thread> pool;
    try {
        for (int t = 0; t < threads; ++t)
            pool.emplace_back(work);
    } catch (const std::system_error&) {
        if (pool.empty()) {
            error = "cannot start a thread";
            return false;
        }
    }

    const std::array<uint8_t, 2> header = zlib_header(o.level);
    uLong adler = 1;
    bool ok = true;
    for (int k = 0; k < bands && ok; ++k) {
        Piece& slot = slots[size_t(k % window)];
        {
            std::unique_lock<std::mutex> hold(lock);
            changed.wait(hold, [&] { return failed || slot.ready; });
            if (failed) {
                ok = false;
                break;
            }
        }
        adler = k == 0 ? slot.adler : adler32_combine(adler, slot.adler, z_off_t(slot.raw));
        uint8_t check[4];
        put_u32(check, uint32_t(adler));
        std::vector<Bytes> parts;
        try {
            if (k == 0)
                parts.push_back(header);
            parts.push_back(slot.bytes);
            if (k == bands - 1)
                parts.push_back(check);
            ok = write_idat(out, std::move(parts), error);
        } catch (const std::bad_alloc&) {
            ok = false;
        }
        std::lock_guard<std::mutex> hold(lock);
        slot.ready = false;
        written = k + 1;
        if (!ok)
            failed = true;
        changed.notify_all();
    }
    {
        std::lock_guard<std::mutex> hold(lock);
        if (!ok)
            failed = true;
        changed.notify_all();
    }
    for (std::thread& t : pool)
        t.join();
    if (!ok) {
        if (error.empty())
            error = "out of memory";
        return false;
    }
    return write_chunk(out, "IEND", {}, error);
}

} // namespace platform
