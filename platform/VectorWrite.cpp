// The display list replayed onto Cairo's PDF, SVG and PostScript surfaces, with the document's title, creator
// and creation date, written as a stream into the output file.
#include "platform/VectorWrite.h"

#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo-svg.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/CairoCanvas.h"

namespace platform {

namespace {

constexpr double kPointsPerPixelAt96 = 72.0 / 96.0;
// A header that has not ended by now is not one we know: it goes out as it is.
constexpr size_t kMaxHeader = 64 * 1024;
// Cairo takes DSC comments of at most 255 characters.
constexpr size_t kMaxTitleComment = 240;

std::string iso_date(int64_t seconds)
{
    const std::time_t t = std::time_t(seconds);
    std::tm tm {};
    if (!gmtime_r(&t, &tm))
        return "1970-01-01T00:00:00Z";
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}

std::string xml_text(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        default:
            // Control characters have no place in XML 1.0 text.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                out += c;
            break;
        }
    }
    return out;
}

// A PostScript string: printable ASCII as it is, every other byte as an octal escape.
std::string ps_string(const std::string& s)
{
    std::string out = "(";
    for (unsigned char c : s) {
        std::string piece;
        if (c == '(' || c == ')' || c == '\\') {
            piece = std::string("\\") + char(c);
        } else if (c >= 0x20 && c < 0x7F) {
            piece = std::string(1, char(c));
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", unsigned(c));
            piece = buf;
        }
        if (out.size() + piece.size() + 1 > kMaxTitleComment)
            break;
        out += piece;
    }
    return out + ")";
}

// Where the bytes go: the file, through a rewrite of the header that Cairo fills with its own name and the
// time of the run.
struct Sink {
    int fd = -1;
    int error = 0;
    VectorKind kind = VectorKind::Pdf;
    std::string title;
    std::string date;
    bool header_done = false;
    std::string header;

    bool put(const char* data, size_t size)
    {
        while (size > 0) {
            const ssize_t n = ::write(fd, data, size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                error = n < 0 ? errno : ENOSPC;
                return false;
            }
            data += n;
            size -= size_t(n);
        }
        return true;
    }

    // PostScript: our name and the document's date in the comments. SVG: the title as the first child.
    void rewrite()
    {
        if (kind == VectorKind::Svg) {
            const size_t svg = header.find("<svg");
            const size_t end = svg == std::string::npos ? svg : header.find('>', svg);
            if (end != std::string::npos)
                header.insert(end + 1, "\n<title>" + xml_text(title) + "</title>");
            return;
        }
        std::string out;
        size_t at = 0;
        while (at < header.size()) {
            size_t eol = header.find('\n', at);
            eol = eol == std::string::npos ? header.size() : eol + 1;
            const std::string_view line(header.data() + at, eol - at);
            if (line.starts_with("%%Creator:"))
                out += "%%Creator: torvanesub\n";
            else if (line.starts_with("%%CreationDate:"))
                out += "%%CreationDate: " + date + "\n";
            else
                out += line;
            at = eol;
        }
        header = std::move(out);
    }

    bool header_ends() const
    {
        if (kind == VectorKind::Svg) {
            const size_t svg = header.find("<svg");
            return svg != std::string::npos && header.find('>', svg) != std::string::npos;
        }
        return header.find("%%EndComments") != std::string::npos;
    }

    bool write(const char* data, size_t size)
    {
        if (header_done)
            return put(data, size);
        header.append(data, size);
        if (header_ends()) {
            rewrite();
        } else if (header.size() < kMaxHeader) {
            return true;
        }
        header_done = true;
        const bool ok = put(header.data(), header.size());
        std::string().swap(header);
        return ok;
    }

    // Whatever is still held, once Cairo is done.
    bool flush()
    {
        if (header_done)
            return true;
        header_done = true;
        return put(header.data(), header.size());
    }
};

cairo_status_t write_to_sink(void* closure, const unsigned char* data, unsigned int length)
{
    auto* sink = static_cast<Sink*>(closure);
    return sink->write(reinterpret_cast<const char*>(data), length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

cairo_surface_t* make_surface(Sink& sink, double w, double h)
{
    switch (sink.kind) {
    case VectorKind::Pdf: {
        cairo_surface_t* s = cairo_pdf_surface_create_for_stream(write_to_sink, &sink, w, h);
        cairo_pdf_surface_set_metadata(s, CAIRO_PDF_METADATA_TITLE, sink.title.c_str());
        cairo_pdf_surface_set_metadata(s, CAIRO_PDF_METADATA_CREATOR, "torvanesub");
        cairo_pdf_surface_set_metadata(s, CAIRO_PDF_METADATA_CREATE_DATE, sink.date.c_str());
        sink.header_done = true;
        return s;
    }
    case VectorKind::Svg: return cairo_svg_surface_create_for_stream(write_to_sink, &sink, w, h);
    case VectorKind::Ps:
    case VectorKind::Eps: {
        cairo_surface_t* s = cairo_ps_surface_create_for_stream(write_to_sink, &sink, w, h);
        cairo_ps_surface_set_eps(s, sink.kind == VectorKind::Eps);
        cairo_ps_surface_dsc_comment(s, ("%%Title: " + ps_string(sink.title)).c_str());
        return s;
    }
    case VectorKind::None: break;
    }
    return nullptr;
}

void paint(cairo_t* cr, uint32_t argb)
{
    cairo_set_source_rgba(
        cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0, (argb >> 24) / 255.0);
    cairo_paint(cr);
}

} // namespace

int64_t document_time()
{
    if (const char* e = std::getenv("SOURCE_DATE_EPOCH"); e && *e) {
        char* end = nullptr;
        errno = 0;
        const long long v = std::strtoll(e, &end, 10);
        if (errno == 0 && end && *end == '\0' && v >= 0)
            return v;
    }
    return int64_t(std::time(nullptr));
}

bool write_vector(const DisplayList& list, int fd, const OutputFormat& format, const VectorPage& page,
    const PixelLayout& layout, std::string& error)
{
    if (list.width() <= 0 || list.height() <= 0) {
        error = "nothing to save";
        return false;
    }
    const double w = page.width_pt > 0 ? page.width_pt : list.width() * kPointsPerPixelAt96;
    const double h = page.height_pt > 0 ? page.height_pt : list.height() * kPointsPerPixelAt96;
    Sink sink;
    sink.fd = fd;
    sink.kind = format.vector;
    sink.title = page.title;
    sink.date = iso_date(document_time());
    cairo_surface_t* surface = make_surface(sink, w, h);
    if (!surface) {
        error = "not a vector format";
        return false;
    }
    // User space is the picture's pixels; what cannot stay vector falls back to pixels of the same size.
    const double sx = w / list.width(), sy = h / list.height();
    cairo_surface_set_device_scale(surface, sx, sy);
    cairo_surface_set_fallback_resolution(surface, 72.0 / sx, 72.0 / sy);
    {
        cairo_t* cr = cairo_create(surface);
        if (!layout.alpha)
            paint(cr, 0xFF000000 | layout.background);
        if ((list.start_colour() >> 24) != 0)
            paint(cr, list.start_colour());
        cairo_destroy(cr);
        CairoCanvas canvas(surface, list.width(), list.height());
        list.replay_all(canvas);
    }
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (status == CAIRO_STATUS_SUCCESS && sink.error == 0)
        sink.flush();
    if (sink.error != 0) {
        error = std::strerror(sink.error);
        return false;
    }
    if (status != CAIRO_STATUS_SUCCESS) {
        error = cairo_status_to_string(status);
        return false;
    }
    return true;
}

} // namespace platform
