// The display list: every canvas call in order with the state it was made under and the pixels it may
// touch, replayed band by band into Cairo, and read back call by call by the renderer tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace platform {

class CairoCanvas;

// Whole pixels [x0, x1) x [y0, y1).
struct PixelRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;

    bool empty() const { return x1 <= x0 || y1 <= y0; }
    bool meets(const PixelRect& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
};

class DisplayList final : public Canvas {
public:
    enum class Op : uint8_t {
        BeginScene,
        EndScene,
        Clear,
        SetStroke,
        SetFillColor,
        SetFillBitmap,
        SetFillGradient,
        Line, // draw_line, with or without its own stroke
        Rect,
        Ellipse,
        Arc,
        Path,
        FillPolygon,
        SetTransform,
        MultiplyTransform,
        Text,
        Bitmap,
    };

    enum class FillKind : uint8_t { Color, Bitmap, Gradient };

    // One call as the tests read it back. Only the fields that the call carries are meaningful; the state
    // fields (stroke, fill, transform) hold the canvas state at the moment of the call, after a state change
    // applied.
    struct Record {
        Op op = Op::BeginScene;
        // Line: a, b. Rect, Ellipse: the two corners. Arc: the centre. Path, FillPolygon: every point.
        std::vector<PointF> pts;
        float rx = 0, ry = 0; // Rect (corner radii), Arc
        float start_deg = 0, sweep_deg = 0; // Arc
        bool closed = false; // Path
        uint32_t color = 0; // Clear
        StrokeStyle stroke; // for Line: the stroke actually used
        FillKind fill_kind = FillKind::Color;
        uint32_t fill_color = 0xFF000000;
        Gradient gradient; // SetFillGradient, and FillPolygon under a gradient
        int image_width = 0, image_height = 0; // brush tile (SetFillBitmap, FillPolygon) or Bitmap source
        std::vector<uint32_t> image; // its unpremultiplied pixels, row by row
        Matrix transform; // after the call
        Matrix given; // SetTransform, MultiplyTransform: the argument
        std::u16string text; // Text
        FontSpec font; // Text
        RectF rect; // Text: the layout rectangle; Bitmap: the destination
        RectF src; // Bitmap: the source rectangle
    };

    // Past this many bytes of calls the list stops recording and counts as incomplete.
    static constexpr size_t default_max_bytes = size_t(1) << 30;

    DisplayList(int width, int height, size_t max_bytes = default_max_bytes);
    ~DisplayList() override;
    // Starts again empty, at another size, as a canvas freshly made.
    void reset(int width, int height);
    // The colour every pixel starts from, premultiplied as Bitmap::fill does (opaque white unless set):
    // what the bitmap held before any call.
    void fill(uint32_t argb) { start_ = argb; }
    uint32_t start_colour() const { return start_; }
    DisplayList(const DisplayList&) = delete;
    DisplayList& operator=(const DisplayList&) = delete;

    // False once a call could not be kept (no memory, or past its byte budget): replaying would draw less
    // than the renderer asked for.
    bool complete() const { return complete_; }
    // Bytes the list holds.
    size_t bytes() const;
    // Calls recorded (state changes included) and the calls that may draw inside the picture.
    size_t calls() const { return items_.size(); }
    size_t drawing_calls() const { return drawn_.size(); }

    // ---- Reading the calls back.
    const std::vector<Record>& records() const;
    // Forgets the calls made so far; the current stroke, fill and transform stay.
    void clear_records();
    size_t count(Op op) const;
    // The records of one kind, in call order.
    std::vector<const Record*> of(Op op) const;
    // The last record of one kind, or null.
    const Record* last(Op op) const;
    // Records that put something on the canvas (clear, lines, shapes, text, bitmaps), in call order.
    std::vector<const Record*> drawn() const;
    static bool draws(Op op);

    // ---- Replay.
    // Builds the index that finds the calls meeting a band. Replaying from several threads at once needs
    // a sealed list; another recorded call unseals it.
    void seal();
    bool sealed() const { return sealed_; }
    // Replays, in order and with their state, the calls that may touch `band` onto `target`, a fresh canvas
    // whose bitmap holds the band's pixels. `scratch` is the caller's own.
    void replay(CairoCanvas& target, const PixelRect& band, std::vector<uint32_t>& scratch) const;
    // Makes every recorded call again, in order, on `target`: the whole picture at once on any canvas (a
    // vector surface, or one bitmap the old way).
    void replay_all(Canvas& target) const;

    // ---- Canvas.
    int width() const override { return width_; }
    int height() const override { return height_; }
    void begin_scene() override;
    void end_scene() override;
    void clear(uint32_t argb) override;
    void set_stroke(const StrokeStyle& s) override;
    const StrokeStyle& stroke() const override { return strokes_[state_.stroke]; }
    void set_fill_color(uint32_t argb) override;
    uint32_t fill_color() const override { return fills_[state_.fill].color; }
    void set_fill_bitmap(const platform::Bitmap& tile) override;
    void set_fill_gradient(const Gradient& g) override;
    void draw_line(PointF a, PointF b) override;
    void draw_line(PointF a, PointF b, const StrokeStyle& s) override;
    void draw_rect(PointF a, PointF b, float rx, float ry) override;
    void draw_ellipse(PointF a, PointF b) override;
    void draw_arc(PointF centre, float rx, float ry, float start_deg, float sweep_deg) override;
    void draw_path(const PointF* pts, size_t n, bool closed) override;
    void fill_polygon(const PointF* pts, size_t n) override;
    Matrix transform() const override { return matrix_; }
    void set_transform(const Matrix& m) override;
    void multiply_transform(const Matrix& m) override;
    void fill_text(std::u16string_view text, const RectF& r, const FontSpec& font) override;
    void draw_bitmap(const platform::Bitmap& b, const RectF& src, const RectF& dst) override;

private:
    // The state a call was made under: indexes into the tables below, shared by every call until it changes.
    struct State {
        uint32_t stroke = 0, fill = 0, transform = 0;
        bool operator==(const State&) const = default;
    };
    struct Fill {
        FillKind kind = FillKind::Color;
        uint32_t color = 0xFF000000;
        uint32_t ref = 0; // tiles_ or gradients_
    };
    // A transform is the matrix set last and the products taken on since, so that a replay reaches the
    // same matrix and inverse through the same Cairo calls. Step 0 is the identity every canvas starts at.
    struct TransformStep {
        Matrix given;
        uint32_t parent = 0;
        bool multiply = false;
    };
    // One call: 16 bytes. `a` and `b` by kind: Clear: colour. Line: coords_ at a, own stroke strokes_[b]
    // when kOwnStroke. Rect (a, b, (rx, ry)), Ellipse (a, b), Arc (centre, (rx, ry), (start, sweep)): coords_
    // at a. Path, FillPolygon: coords_ at a, b points. SetTransform, MultiplyTransform: transforms_[a] when
    // kTakenOn, else the refused matrix givens_[a]. Text: texts_[a].
    // Bitmap: images_[a].
    struct Item {
        Op op;
        uint8_t flags;
        uint16_t spare;
        uint32_t state;
        uint32_t a;
        uint32_t b;
    };
    // kTakenOn: a SetTransform or MultiplyTransform the canvas took on, `a` being its step in transforms_.
    static constexpr uint8_t kOwnStroke = 1, kClosed = 2, kTakenOn = 4;
    struct TextItem {
        uint32_t offset, length, font;
        RectF rect;
    };
    struct ImageItem {
        platform::Bitmap pixels; // shared, never copied
        RectF src, dst;
    };
    // Calls meeting a band are found by their boxes' rows: a box lies in the first level whose buckets are
    // at least as tall as it, in the bucket of its top row, so it spans two buckets at most.
    struct Level {
        int rows = 0;
        std::vector<uint32_t> starts; // bucket b holds entries[starts[b] .. starts[b + 1])
        std::vector<uint32_t> entries; // positions in drawn_
    };

    // Appends a call under the current state; false (and the list incomplete) when it cannot be kept.
    bool add(Op op, uint32_t a = 0, uint32_t b = 0, uint8_t flags = 0);
    // Adds a drawing call whose pixels lie in the user-space box grown by `pad` user units.
    void add_drawing(Op op, double x0, double y0, double x1, double y1, double pad, double margin_px, uint32_t a,
        uint32_t b = 0, uint8_t flags = 0);
    uint32_t put_coords(std::initializer_list<PointF> v);
    template <class T, class Same>
    uint32_t intern(std::vector<T>& table, std::vector<uint32_t>& recent, size_t hash, const T& v, const Same& same);
    uint32_t put_points(const PointF* pts, size_t n);
    void change_state(const State& next);
    uint32_t stroke_index(const StrokeStyle& s);
    void change_fill(const Fill& f);
    bool take_transform(const TransformStep& t, const Matrix& result);
    void refuse_transform(Op op, const Matrix& m);
    Matrix given(const Item& it) const;
    // The matrix of a step, by the arithmetic that made it.
    Matrix matrix_of(uint32_t node) const;
    PixelRect device_box(double x0, double y0, double x1, double y1, double pad, double margin_px) const;
    bool within_budget(size_t more) const;
    void fail() { complete_ = false; }
    void unseal();
    void decode(const Item& it, Record& r) const;
    void collect(const PixelRect& band, std::vector<uint32_t>& out) const;
    void play(Canvas& c, const Item& it) const;

    int width_;
    int height_;
    size_t max_bytes_;
    uint32_t start_ = 0xFFFFFFFF;
    bool complete_ = true;
    bool sealed_ = false;

    std::vector<Item> items_;
    std::vector<uint32_t> drawn_; // items_ that may draw inside the picture, in call order
    std::vector<PixelRect> boxes_; // their pixel boxes, clipped to the picture
    std::vector<PointF> coords_; // the points of the calls, and their radii and angles as pairs
    std::vector<State> states_;
    State state_;
    uint32_t current_ = 0; // state_'s index in states_
    std::vector<StrokeStyle> strokes_;
    std::vector<Fill> fills_;
    std::vector<TransformStep> transforms_;
    std::vector<Matrix> givens_; // matrices the canvas refused, for the records
    Matrix matrix_; // the transform in force: state_.transform's matrix
    std::vector<platform::Bitmap> tiles_;
    std::vector<Gradient> gradients_;
    size_t stop_bytes_ = 0;
    std::vector<FontSpec> fonts_;
    std::u16string chars_;
    std::vector<TextItem> texts_;
    std::vector<ImageItem> images_;
    std::vector<Level> levels_;

    // The last entries of each table by a hash of their value: drawings cycle through a few pens, and each
    // is kept once instead of once per change.
    std::vector<uint32_t> recent_strokes_, recent_fills_, recent_states_, recent_transforms_;

    mutable std::vector<Record> decoded_; // records() of the first decoded_.size() items
};

} // namespace platform
