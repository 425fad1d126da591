// The floor: what any straightforward converter does with the same geometry, drawn straight with Cairo on
// one bitmap and saved by libvips (pngsave, compression 6, no filter).
// Usage: cairo_floor GEOMETRY OUT.png|OUT.tif   (GEOMETRY as written by `bands_bench geometry`)
#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <vips/vips.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

void source(cairo_t* cr, unsigned argb)
{
    cairo_set_source_rgba(
        cr, ((argb >> 16) & 255) / 255.0, ((argb >> 8) & 255) / 255.0, (argb & 255) / 255.0, (argb >> 24) / 255.0);
}

cairo_font_face_t* face(const std::string& family)
{
    static std::map<std::string, cairo_font_face_t*> faces;
    auto it = faces.find(family);
    if (it != faces.end())
        return it->second;
    FcPattern* p = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult r;
    FcPattern* m = FcFontMatch(nullptr, p, &r);
    FcPatternDestroy(p);
    cairo_font_face_t* f = cairo_ft_font_face_create_for_pattern(m);
    FcPatternDestroy(m);
    return faces[family] = f;
}

double seconds_since(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || VIPS_INIT(argv[0]))
        return 2;
    std::ifstream in(argv[1]);
    int w = 0, h = 0;
    std::string word;
    in >> word >> w >> h;
    if (word != "size" || w <= 0 || h <= 0)
        return 2;
    // Read first, so the timing below is drawing and saving only.
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);

    const auto start = std::chrono::steady_clock::now();
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    for (const std::string& line : lines) {
        std::istringstream l(line);
        char kind = 0;
        l >> kind;
        if (kind == 'L') {
            double x1, y1, x2, y2, width;
            unsigned argb;
            l >> x1 >> y1 >> x2 >> y2 >> std::hex >> argb >> std::dec >> width;
            source(cr, argb);
            cairo_set_line_width(cr, width);
            cairo_move_to(cr, x1, y1);
            cairo_line_to(cr, x2, y2);
            cairo_stroke(cr);
        } else if (kind == 'T') {
            cairo_matrix_t m;
            double size, left, top;
            unsigned argb;
            std::string family, text;
            l >> m.xx >> m.yx >> m.xy >> m.yy >> m.x0 >> m.y0 >> std::hex >> argb >> std::dec >> size >> left >> top
                >> family;
            std::getline(l >> std::ws, text);
            cairo_save(cr);
            cairo_set_matrix(cr, &m);
            cairo_set_font_face(cr, face(family));
            cairo_set_font_size(cr, size);
            source(cr, argb);
            cairo_move_to(cr, left, top + 0.88 * size);
            cairo_show_text(cr, text.c_str());
            cairo_restore(cr);
        }
    }
    cairo_surface_flush(s);
    const double drawn = seconds_since(start);

    // Cairo's premultiplied pixels flattened onto white as RGB, as the program did before bands.
    std::vector<unsigned char> rgb(size_t(w) * h * 3);
    const unsigned char* px = cairo_image_surface_get_data(s);
    for (size_t i = 0, n = size_t(w) * h; i < n; ++i) {
        unsigned v;
        std::memcpy(&v, px + 4 * i, 4);
        const unsigned white = 255 - (v >> 24);
        rgb[3 * i] = (unsigned char)(((v >> 16) & 255) + white);
        rgb[3 * i + 1] = (unsigned char)(((v >> 8) & 255) + white);
        rgb[3 * i + 2] = (unsigned char)((v & 255) + white);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    VipsImage* im = vips_image_new_from_memory(rgb.data(), rgb.size(), w, h, 3, VIPS_FORMAT_UCHAR);
    const bool png = std::strstr(argv[2], ".png") != nullptr;
    const int rc = png ? vips_pngsave(im, argv[2], "compression", 6, "filter", VIPS_FOREIGN_PNG_FILTER_NONE, nullptr)
                       : vips_image_write_to_file(im, argv[2], nullptr);
    g_object_unref(im);
    std::fprintf(stderr, "floor: draw %.3f s, save %.3f s\n", drawn, seconds_since(start) - drawn);
    return rc == 0 ? 0 : 1;
}
