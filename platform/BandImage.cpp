// The libvips image drawn on request: generate callbacks that copy rows out of a cache of drawn bands.
#include "platform/BandImage.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vips/vips.h>

namespace platform {

struct BandImage::Band {
    int index = 0;
    bool ready = false;
    bool ok = true;
    int pins = 0;
    int64_t handed_out = 0; // pixels copied out so far
    int64_t pixels = 0;
    uint64_t used = 0;
    std::vector<uint8_t> rgb; // its pixels, RGB or RGBA
};

namespace {

void* start(VipsImage*, void*, void*) { return new (std::nothrow) RenderScratch; }

int stop(void* seq, void*, void*)
{
    delete static_cast<RenderScratch*>(seq);
    return 0;
}

} // namespace

BandImage::BandImage(const RasterSource& src, int band_rows, int threads)
    : src_(src)
    , rows_(std::clamp(band_rows, 1, std::max(1, src.height())))
    , bands_(int((int64_t(src.height()) + rows_ - 1) / rows_))
    // Room for the band each thread draws, the band each copies from, and one to spare.
    , capacity_(size_t(2 * std::max(1, threads) + 1))
{
    VipsImage* im = vips_image_new();
    vips_image_init_fields(im, src.width(), src.height(), src.bands(), VIPS_FORMAT_UCHAR, VIPS_CODING_NONE,
        VIPS_INTERPRETATION_sRGB, 1.0, 1.0);
    if (vips_image_pipelinev(im, VIPS_DEMAND_STYLE_FATSTRIP, nullptr) != 0
        || vips_image_generate(im, start, generate, stop, this, nullptr) != 0) {
        g_object_unref(im);
        return;
    }
    image_ = im;
}

BandImage::~BandImage()
{
    if (image_)
        g_object_unref(image_);
}

int64_t BandImage::bands_drawn() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return drawn_;
}

// Drops the least recently used band nobody copies from or draws, when the cache is full.
bool BandImage::make_room()
{
    if (cache_.size() < capacity_)
        return true;
    auto victim = cache_.end();
    for (auto it = cache_.begin(); it != cache_.end(); ++it)
        if ((*it)->ready && (*it)->pins == 0 && (victim == cache_.end() || (*it)->used < (*victim)->used))
            victim = it;
    if (victim == cache_.end())
        return false;
    spare_.push_back(std::move((*victim)->rgb));
    cache_.erase(victim);
    return true;
}

void BandImage::draw(Band* b, RenderScratch& scratch)
{
    const int w = src_.width();
    const int y0 = b->index * rows_, y1 = std::min(src_.height(), y0 + rows_);
    try {
        const size_t row = size_t(w) * size_t(src_.bands());
        b->rgb.resize(row * size_t(y1 - y0));
        b->ok = src_.render({ 0, y0, w, y1 }, b->rgb.data(), row, scratch);
    } catch (const std::bad_alloc&) {
        b->ok = false;
    }
}

BandImage::Band* BandImage::acquire(int k, RenderScratch& scratch)
{
    std::unique_lock<std::mutex> hold(lock_);
    auto find = [&](int i) -> Band* {
        for (auto& b : cache_)
            if (b->index == i)
                return b.get();
        return nullptr;
    };
    // Starts drawing band i on this thread; false when there is no room.
    auto draw_here = [&](int i) {
        if (!make_room())
            return false;
        try {
            auto b = std::make_unique<Band>();
            b->index = i;
            b->pixels = int64_t(src_.width()) * (std::min(src_.height(), (i + 1) * rows_) - i * rows_);
            if (!spare_.empty()) {
                b->rgb = std::move(spare_.back());
                spare_.pop_back();
            }
            cache_.push_back(std::move(b));
        } catch (const std::bad_alloc&) {
            return false;
        }
        Band* b = cache_.back().get();
        ++drawn_;
        hold.unlock();
        draw(b, scratch);
        hold.lock();
        b->ready = true;
        b->used = ++clock_;
        changed_.notify_all();
        return true;
    };
    for (;;) {
        Band* b = find(k);
        if (b && b->ready) {
            ++b->pins;
            b->used = ++clock_;
            return b;
        }
        if (!b) {
            if (!draw_here(k))
                changed_.wait(hold);
            continue;
        }
        // Another thread draws band k: draw a later band meanwhile rather than wait.
        bool helped = false;
        for (int j = k + 1; j < bands_ && j <= k + int(capacity_) && !helped; ++j)
            if (!find(j))
                helped = draw_here(j);
        if (!helped)
            changed_.wait(hold);
    }
}

void BandImage::release(Band* b, int64_t pixels)
{
    std::lock_guard<std::mutex> hold(lock_);
    --b->pins;
    b->handed_out += pixels;
    // Savers read each pixel once: a band handed out whole is not wanted again.
    if (b->pins == 0 && b->handed_out >= b->pixels) {
        for (auto it = cache_.begin(); it != cache_.end(); ++it)
            if (it->get() == b) {
                try {
                    spare_.push_back(std::move(b->rgb));
                } catch (const std::bad_alloc&) {
                }
                cache_.erase(it);
                break;
            }
    }
    changed_.notify_all();
}

int BandImage::generate(VipsRegion* out, void* seq, void* a, void*, int*)
{
    auto* self = static_cast<BandImage*>(a);
    auto* scratch = static_cast<RenderScratch*>(seq);
    if (!scratch)
        return -1;
    const VipsRect& r = out->valid;
    const int w = self->src_.width();
    const size_t bands = size_t(self->src_.bands());
    for (int k = r.top / self->rows_; k * self->rows_ < r.top + r.height; ++k) {
        Band* b = self->acquire(k, *scratch);
        const bool ok = b->ok;
        const int y0 = std::max(r.top, k * self->rows_);
        const int y1 = std::min({ r.top + r.height, (k + 1) * self->rows_, self->src_.height() });
        if (ok)
            for (int y = y0; y < y1; ++y)
                std::memcpy(VIPS_REGION_ADDR(out, r.left, y),
                    b->rgb.data() + (size_t(y - k * self->rows_) * size_t(w) + size_t(r.left)) * bands,
                    size_t(r.width) * bands);
        self->release(b, int64_t(y1 - y0) * r.width);
        if (!ok) {
            vips_error("torvanesub", "%s", "out of memory");
            return -1;
        }
    }
    return 0;
}

} // namespace platform
