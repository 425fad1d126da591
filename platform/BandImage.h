// A libvips image whose pixels are drawn on request from a picture, band by band, on libvips' threads.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/RasterSource.h"

typedef struct _VipsImage VipsImage;
typedef struct _VipsRegion VipsRegion;

namespace platform {

// libvips asks for strips a few rows tall, from several threads, about in order. Each band of
// `band_rows` rows is drawn once into a cache shared by the threads and dropped once every pixel of it
// was handed out; a thread that would wait for a band another thread is drawing draws a later one
// instead, so every core works. A saver that reads out of order still gets every pixel, drawing some
// bands again.
class BandImage {
public:
    BandImage(const RasterSource& src, int band_rows, int threads);
    ~BandImage();
    BandImage(const BandImage&) = delete;
    BandImage& operator=(const BandImage&) = delete;

    // The image, owned by this object: null when libvips could not make it. It reads the source, which
    // must outlive it.
    VipsImage* image() const { return image_; }
    // Bands drawn so far, counting those drawn again.
    int64_t bands_drawn() const;

private:
    struct Band;
    Band* acquire(int k, RenderScratch& scratch);
    void release(Band* b, int64_t pixels);
    bool make_room();
    void draw(Band* b, RenderScratch& scratch);
    static int generate(VipsRegion* out, void* seq, void* a, void* b, int* stop);

    const RasterSource& src_;
    int rows_;
    int bands_;
    size_t capacity_;
    VipsImage* image_ = nullptr;

    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::vector<std::unique_ptr<Band>> cache_;
    std::vector<std::vector<uint8_t>> spare_;
    uint64_t clock_ = 0;
    int64_t drawn_ = 0;
};

} // namespace platform
