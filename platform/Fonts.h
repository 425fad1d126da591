// Font names of drawings mapped to installed families, and the cache of Cairo font faces built from them.
#pragma once
#include <cairo.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// The family that stands in for a font name written in a drawing: the Gothic and Mincho families of
// Japanese systems (full-width, half-width and proportional spellings) go to the IPA fonts; any other
// name, an empty one included, goes to IPAGothic, which always has Japanese glyphs. Leading "@" marks
// of vertical writing are ignored.
std::string font_family_for(std::u16string_view drawing_name);

// The family every unknown name falls back to.
inline constexpr const char* kFallbackFamily = "IPAGothic";

// One resolved face: the Cairo face and where the em box's top lies above the baseline, as a
// fraction of the font size.
struct FontFace {
    cairo_font_face_t* face = nullptr; // owned by the cache
    double em_ascent = 0.88;
    // Italic asked of a family without an italic face: the canvas slants the glyphs itself.
    bool oblique = false;
};

// Resolves (family, bold, italic) through fontconfig once and keeps the face for the life of the
// cache, so a drawing with thousands of texts opens each font once. Bands are drawn on several threads:
// the cache is locked while it looks up or adds a face, and a face once added never moves.
class FontCache {
public:
    FontCache();
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // Never null: a family fontconfig cannot match falls back to its best Japanese-capable face.
    const FontFace& face(std::string_view family, bool bold, bool italic);

    // Number of fontconfig look-ups made so far (distinct keys resolved).
    size_t lookups() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The process-wide cache the Cairo canvas draws text with.
FontCache& font_cache();

// Loads fontconfig's configuration. fontconfig does not survive a failed allocation, so a run does this first,
// while it holds almost nothing, and resolves each font as it is recorded, never while bands are made.
void start_fonts();

} // namespace platform
