// TM7Data: defaults, the header and object passes over the chunks, and every chunk's record reader.
#include "formats/m7/M7Unit.h"

#include <algorithm>
#include <bit>
#include <fstream>
#include <utility>

#include "formats/m7/M7Reader.h"

using detail::M7Reader;
namespace m7kind = detail::m7kind;

namespace {

constexpr size_t kChunkHead = 8;
constexpr size_t kTitleMax = 256;
constexpr size_t kStyleBlock = 110;
constexpr size_t kGroupDimBlock = 372;
constexpr size_t kGroupAnnoBlock = 282;
constexpr size_t kGroupBarBlock = 160;

template <size_t N> double le_double(const std::array<uint8_t, N>& b, size_t at)
{
    uint64_t u = 0;
    for (size_t i = 0; i < 8; ++i)
        u |= uint64_t(b[at + i]) << (8 * i);
    return std::bit_cast<double>(u);
}

template <size_t N> int32_t le_int32(const std::array<uint8_t, N>& b, size_t at)
{
    uint32_t u = 0;
    for (size_t i = 0; i < 4; ++i)
        u |= uint32_t(b[at + i]) << (8 * i);
    return int32_t(u);
}

// Three 78-byte entries, each starting with the double 1.0.
std::array<uint8_t, 234> default_dimstlex()
{
    std::array<uint8_t, 234> b {};
    uint64_t one = std::bit_cast<uint64_t>(1.0);
    for (size_t e = 0; e < 3; ++e)
        for (size_t i = 0; i < 8; ++i)
            b[e * 78 + i] = uint8_t(one >> (8 * i));
    return b;
}

template <class T> void release(std::vector<T>& list, int32_t& n)
{
    std::vector<T>().swap(list);
    n = 0;
}

// ---- Blocks shared by several records.

void read_head(M7Reader& rd, TM7ObjectHeader& h)
{
    rd.field(h.id);
    rd.field(h.cotype);
    rd.field(h.attr);
    rd.field(h.color);
}

void read_style(M7Reader& rd, TM7TextStyle& s)
{
    rd.text(s.style, 17);
    rd.text(s.font, 33);
    rd.field(s.hight);
    rd.field(s.width);
    rd.field(s.spce);
    rd.field(s.ofset);
    rd.field(s.penno);
    rd.field(s.txattr);
    rd.field(s.lfCharSet);
    rd.field(s.lfPitchAndFamily);
    rd.field(s.reserved);
    rd.field(s.count);
}

void read_edge(M7Reader& rd, TM7ObjectEdge& e)
{
    for (auto& h : e.half) {
        rd.field(h.reserved);
        rd.field(h.sx);
        rd.field(h.sy);
        rd.field(h.le);
        rd.field(h.ox);
        rd.field(h.oy);
        rd.field(h.r1);
        rd.field(h.r2);
        rd.field(h.ea);
        rd.field(h.an);
        rd.field(h.sty);
        rd.field(h.ext);
        rd.field(h.exa);
        rd.field(h.pa1);
        rd.field(h.pa2);
    }
}

// A point count not above 0 reads one point; a count beyond the body reads the points it holds.
void read_points(M7Reader& rd, int16_t& cnt, std::vector<TDPoint>& pt)
{
    size_t n = cnt <= 0 ? 1 : size_t(cnt);
    size_t fit = rd.remaining() / 16;
    if (n > fit)
        n = std::max<size_t>(1, fit);
    pt.assign(n, TDPoint {});
    for (auto& p : pt)
        rd.field(p);
    cnt = int16_t(n);
}

// Bytes of a trailing text before a fixed tail; none when the body is too short for the tail.
size_t text_before(const M7Reader& rd, size_t tail) { return rd.remaining() > tail ? rd.remaining() - tail : 0; }

template <class G> void read_group_part(M7Reader& rd, G& g, size_t tail)
{
    read_head(rd, g.hd);
    rd.field(g.pos);
    rd.field(g.cnt);
    rd.text(g.gname, text_before(rd, tail));
}

void read_bitmap_part(M7Reader& rd, int32_t& byt, int32_t& typ, std::array<TDPoint, 4>& pos, std::vector<uint8_t>& bmp)
{
    rd.field(byt);
    rd.field(typ);
    rd.field(pos);
    bmp = byt > 0 ? rd.blob(size_t(byt)) : std::vector<uint8_t> {};
    byt = int32_t(bmp.size());
}

} // namespace

double TM7SymbolStyle::point_diameter() const { return le_double(form[1], 0); }

int32_t TM7SymbolStyle::point_pen() const { return le_int32(form[1], 16); }

TM7Data::TM7Data() { DataInit(); }

TM7Data::~TM7Data() { DataFree(); }

void TM7Data::DataInit()
{
    CurGrpId = 0;
    CurGrpEn = 0;
    CurGrpN = 0;
    CurGrpNo = 0;
    Title.clear();
    li = TM7LayerInfo {};
    psz = TM7PaperSize {};
    ai = TM7AxisInfo {};
    gi = TM7GridInfo {};
    txtstl.fill(TM7TextStyle {});
    dimstl.fill(TM7DimStyle {});
    dimstlex = default_dimstlex();
    symstl = TM7SymbolStyle {};
    prnstl = TM7PrintStyle {};
    pri = TM7PrintInfo {};
    coltbl.fill(0);
    viewinfo.fill(TM7ViewInfo {});
    release(Ent, EntN);
    release(pt, ptN);
    release(ln, lnN);
    release(lnx, lnxN);
    release(cr, crN);
    release(crx, crxN);
    release(ep, epN);
    release(epx, epxN);
    release(tx, txN);
    release(txx, txxN);
    release(bz, bzN);
    release(bzx, bzxN);
    release(pl, plN);
    release(plx, plxN);
    release(pg, pgN);
    release(pgg, pggN);
    release(pgm, pgmN);
    release(bm, bmN);
    release(bmx, bmxN);
    release(sy, syN);
    release(gr, grN);
    release(grdim, grdimN);
    release(grqle, grqleN);
    release(grbar, grbarN);
    list_bytes_ = 0;
}

// Point arrays and pixel buffers live in the records, so releasing the lists frees them.
void TM7Data::DataFree() { DataInit(); }

// ---- Entry points.

namespace {

// At most `limit` bytes from the start of the file.
bool load_file(const std::filesystem::path& p, std::vector<uint8_t>& out, uintmax_t limit)
{
    std::error_code ec;
    uintmax_t size = std::filesystem::file_size(p, ec);
    if (ec)
        return false;
    std::ifstream in(p, std::ios::binary);
    if (!in)
        return false;
    out.resize(size_t(std::min(size, limit)));
    in.read(reinterpret_cast<char*>(out.data()), std::streamsize(out.size()));
    out.resize(size_t(in.gcount()));
    return true;
}

// The whole file, refused when it is larger than the limit.
bool load_whole(const std::filesystem::path& p, std::vector<uint8_t>& out, uintmax_t limit)
{
    std::error_code ec;
    uintmax_t size = std::filesystem::file_size(p, ec);
    if (ec || size > limit)
        return false;
    return load_file(p, out, limit);
}

} // namespace

bool TM7Data::FileCheck(const std::filesystem::path& FName)
{
    std::vector<uint8_t> head;
    if (!load_file(FName, head, kChunkHead + kTitleMax))
        return false;
    return check_memory(head);
}

bool TM7Data::FileHeaderIn(const std::filesystem::path& FName)
{
    std::vector<uint8_t> bytes;
    return load_whole(FName, bytes, kMaxFileBytes) && header_in_memory(bytes);
}

bool TM7Data::FileIn(const std::filesystem::path& FName)
{
    std::vector<uint8_t> bytes;
    return load_whole(FName, bytes, kMaxFileBytes) && read_memory(bytes);
}

bool TM7Data::check_memory(std::span<const uint8_t> bytes)
{
    M7Reader rd(bytes);
    ChunkHead h;
    try {
        if (!ChunkHeadIn(rd, h))
            throw detail::M7ReadError("File Header Error");
    } catch (const detail::M7ReadError&) {
        return false;
    }
    if (m7kind::key(h.type, h.version) != m7kind::Title || h.length < 0 || size_t(h.length) > kTitleMax)
        return false;
    M7Reader body = rd.sub(size_t(h.length));
    return TitleIn(body);
}

bool TM7Data::header_in_memory(std::span<const uint8_t> bytes)
{
    M7Reader rd(bytes);
    bool at_object = false;
    return HeaderChunksIn(rd, at_object);
}

bool TM7Data::read_memory(std::span<const uint8_t> bytes)
{
    M7Reader rd(bytes);
    bool at_object = false;
    bool r = HeaderChunksIn(rd, at_object);
    // Only a pass that stopped at an object chunk hands over to the object pass: one that ran out of
    // chunks has nothing left for it, whatever its last handler read.
    if (r && at_object && rd.pos() < rd.size()) {
        rd.seek(rd.pos() - kChunkHead);
        r = ObjectChunksIn(rd);
    }
    return r;
}

// ---- The passes.

bool TM7Data::ChunkHeadIn(M7Reader& rd, ChunkHead& h)
{
    if (rd.remaining() < kChunkHead)
        return false;
    rd.field(h.type);
    rd.field(h.version);
    rd.field(h.length);
    return true;
}

// A negative length would send the next chunk backwards; it ends the pass like a missing header.
bool TM7Data::HeaderChunksIn(M7Reader& rd, bool& at_object)
{
    at_object = false;
    bool r = false;
    size_t p = rd.pos();
    while (p < rd.size()) {
        rd.seek(p);
        ChunkHead h;
        if (!ChunkHeadIn(rd, h) || h.length < 0)
            break;
        p += kChunkHead + size_t(h.length);
        if (h.type >= 2000) {
            at_object = true;
            break;
        }
        M7Reader body = rd.sub(size_t(h.length));
        bool known = false;
        bool res = header_chunk(h, body, known);
        if (known)
            r = res;
        if (!r)
            break;
    }
    return r;
}

bool TM7Data::ObjectChunksIn(M7Reader& rd)
{
    bool r = false;
    size_t p = rd.pos();
    while (p < rd.size()) {
        rd.seek(p);
        ChunkHead h;
        if (!ChunkHeadIn(rd, h) || h.length < 0)
            break;
        p += kChunkHead + size_t(h.length);
        M7Reader body = rd.sub(size_t(h.length));
        bool known = false;
        bool res = false;
        try {
            res = object_chunk(h, body, known);
        } catch (const detail::M7ReadError&) {
            return false;
        }
        if (known)
            r = res;
        if (!r)
            break;
    }
    return r;
}

bool TM7Data::header_chunk(const ChunkHead& h, M7Reader& body, bool& known)
{
    known = true;
    switch (m7kind::key(h.type, h.version)) {
    case m7kind::Title: return TitleIn(body);
    case m7kind::Layers: return LayerIn(body);
    case m7kind::Paper:
        body.field(psz.typ);
        body.field(psz.lout);
        body.field(psz.size);
        return true;
    case m7kind::Axis:
        body.field(ai.mode);
        body.field(ai.angle);
        body.field(ai.reserved);
        return true;
    case m7kind::Grid:
        body.field(gi.org);
        body.field(gi.spc);
        body.field(gi.dv);
        body.field(gi.disp);
        body.field(gi.snapmain);
        body.field(gi.snapsub);
        body.field(gi.typ);
        body.field(gi.angle);
        body.field(gi.ind);
        body.field(gi.abs);
        body.field(gi.top);
        body.field(gi.reserved);
        return true;
    case m7kind::TextStyles: return TextStyleIn(body);
    case m7kind::DimStyles: return DimStyleIn(body);
    case m7kind::DimStyleEx: body.field(dimstlex); return true;
    case m7kind::SymbolStyles:
        body.field(symstl.current_pstl);
        body.field(symstl.current_astl);
        body.field(symstl.reserved);
        body.field(symstl.form);
        return true;
    case m7kind::PrintStyles:
        for (auto& lt : prnstl.ltype) {
            body.field(lt.kind);
            body.field(lt.count);
            body.field(lt.seg);
            // The segment array holds ten lengths; a larger count must never index past it.
            lt.count = std::clamp<int32_t>(lt.count, 0, int32_t(lt.seg.size()));
        }
        body.field(prnstl.width);
        return true;
    case m7kind::PrintInfo:
        body.field(pri.ind);
        body.field(pri.base);
        body.field(pri.area);
        body.field(pri.dmmy);
        body.field(pri.pos);
        body.field(pri.reserved);
        return true;
    case m7kind::Colours: body.field(coltbl); return true;
    case m7kind::Views: return ViewInfoIn(body);
    default: known = false; return false;
    }
}

bool TM7Data::object_chunk(const ChunkHead& h, M7Reader& body, bool& known)
{
    known = true;
    int t = h.type;
    int v = h.version;
    switch (m7kind::key(t, v)) {
    case m7kind::Point: return PointIn(t, v, body);
    case m7kind::Line: return LineIn(t, v, body);
    case m7kind::LineEx: return LineExIn(t, v, body);
    case m7kind::Circle: return CircleIn(t, v, body);
    case m7kind::CircleEx: return CircleExIn(t, v, body);
    case m7kind::Ellipse: return EllipseIn(t, v, body);
    case m7kind::EllipseEx: return EllipseExIn(t, v, body);
    case m7kind::Text: return TextIn(t, v, body);
    case m7kind::TextEx: return TextExIn(t, v, body);
    case m7kind::Polyline: return PolylineIn(t, v, body);
    case m7kind::PolylineEx: return PolylineExIn(t, v, body);
    case m7kind::Polygon: return PolygonIn(t, v, body);
    case m7kind::PolygonGrad: return PolygonGradIn(t, v, body);
    case m7kind::PolygonMapping: return PolygonMappingIn(t, v, body);
    case m7kind::Bezier: return BezierIn(t, v, body);
    case m7kind::BezierEx: return BezierExIn(t, v, body);
    case m7kind::Bitmap: return BitmapIn(t, v, body);
    case m7kind::BitmapEx: return BitmapExIn(t, v, body);
    case m7kind::Symbol: return SymbolIn(t, v, body);
    case m7kind::Group: return GroupIn(t, v, body);
    case m7kind::GroupDim: return GroupDimIn(t, v, body);
    case m7kind::GroupQle: return GroupQleIn(t, v, body);
    case m7kind::GroupBar: return GroupBarIn(t, v, body);
    default: known = false; return false;
    }
}

// ---- Registry and groups.

// Lists grow by 100 entries at a time; the size of a list is its capacity.
template <class T> int TM7Data::add_entry(std::vector<T>& list, int32_t& n)
{
    if (size_t(n) >= list.size()) {
        size_t grow = 100 * sizeof(T);
        if (list_bytes_ + grow > list_limit)
            throw detail::M7ReadError("M7 list limit");
        list.resize(size_t(n) + 100);
        list_bytes_ += grow;
    }
    list[size_t(n)] = T {};
    return n++;
}

void TM7Data::EntNoAdd(int type, int version, int index)
{
    int i = add_entry(Ent, EntN);
    Ent[size_t(i)] = TM7EntNo { m7kind::key(type, version), index, CurGrpId, CurGrpEn, CurGrpNo };
    if (CurGrpId > 0) {
        ++CurGrpNo;
        if (CurGrpNo >= CurGrpN) {
            CurGrpId = 0;
            CurGrpEn = 0;
            CurGrpN = 0;
            CurGrpNo = 0;
        }
    }
}

// A group without members is complete at once; it never captures the objects after it.
void TM7Data::open_group(int type, int version, int index, int32_t members)
{
    bool open = members > 0;
    CurGrpId = open ? m7kind::key(type, version) : 0;
    CurGrpEn = open ? index : 0;
    CurGrpN = open ? members : 0;
    CurGrpNo = 0;
}

bool TM7Data::known_text_style(const std::u16string& name) const
{
    if (name.empty())
        return false;
    return std::any_of(txtstl.begin(), txtstl.end(), [&](const TM7TextStyle& s) { return s.style == name; });
}

// ---- Document-level handlers.

bool TM7Data::TitleIn(M7Reader& body)
{
    Title = M7Reader::decode(body.take(body.remaining()));
    return true;
}

bool TM7Data::LayerIn(M7Reader& body)
{
    body.field(li.current);
    for (auto& g : li.grp) {
        body.field(g.state);
        body.field(g.current);
        body.text(g.text, 17);
        body.field(g.scale);
        body.field(g.reserved);
        for (auto& l : g.tab) {
            body.field(l.state);
            body.field(l.attr);
            body.field(l.color);
            body.field(l.reserved);
            body.text(l.text, 257);
            body.text(l.module, 17);
            body.field(l.comid);
            body.field(l.dmmy);
        }
    }
    return true;
}

bool TM7Data::TextStyleIn(M7Reader& body)
{
    for (auto& s : txtstl)
        read_style(body, s);
    return true;
}

bool TM7Data::DimStyleIn(M7Reader& body)
{
    for (auto& d : dimstl) {
        body.text(d.style, 16);
        body.field(d.txtstlno);
        body.field(d.dlen);
        body.field(d.xlen);
        body.field(d.tlen);
        body.field(d.pen);
        body.field(d.term);
        body.field(d.dmmy);
        body.field(d.elen);
        body.field(d.reserved);
    }
    return true;
}

bool TM7Data::ViewInfoIn(M7Reader& body)
{
    for (auto& v : viewinfo) {
        body.text(v.name, 17);
        body.field(v.zoom);
        body.field(v.ofset);
        body.field(v.color);
        body.field(v.penno);
        body.field(v.ltype);
        body.field(v.grp);
        body.field(v.dummy);
    }
    return true;
}

// ---- Object handlers: each appends one record, reads it from the chunk body and registers it.

bool TM7Data::PointIn(int type, int version, M7Reader& body)
{
    int i = add_entry(pt, ptN);
    auto& o = pt[size_t(i)];
    read_head(body, o.hd);
    body.field(o.pos);
    EntNoAdd(type, version, i);
    return true;
}

namespace {

void read_line(M7Reader& rd, TM7ObjectLine& o)
{
    read_head(rd, o.hd);
    rd.field(o.pos);
}

void read_circle(M7Reader& rd, TM7ObjectCircle& o)
{
    read_head(rd, o.hd);
    rd.field(o.pos);
    rd.field(o.r);
    rd.field(o.arc);
}

void read_ellipse(M7Reader& rd, TM7ObjectEllipse& o)
{
    read_head(rd, o.hd);
    rd.field(o.pos);
    rd.field(o.r);
    rd.field(o.arc);
    rd.field(o.angle);
}

template <class T> void read_text_part(M7Reader& rd, T& o, size_t tail)
{
    read_head(rd, o.hd);
    rd.field(o.pos);
    rd.field(o.angle);
    rd.field(o.style);
    rd.field(o.base);
    rd.field(o.lout);
    rd.text(o.text, text_before(rd, tail));
}

template <class T> void read_chain(M7Reader& rd, T& o)
{
    read_head(rd, o.hd);
    rd.field(o.typ);
    rd.field(o.cnt);
    read_points(rd, o.cnt, o.pt);
}

template <class T> void read_polygon_part(M7Reader& rd, T& o)
{
    read_head(rd, o.hd);
    rd.field(o.ptn);
    rd.field(o.cnt);
    read_points(rd, o.cnt, o.pt);
}

} // namespace

bool TM7Data::LineIn(int type, int version, M7Reader& body)
{
    int i = add_entry(ln, lnN);
    read_line(body, ln[size_t(i)]);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::LineExIn(int type, int version, M7Reader& body)
{
    int i = add_entry(lnx, lnxN);
    auto& o = lnx[size_t(i)];
    read_line(body, o.ln);
    read_edge(body, o.e);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::CircleIn(int type, int version, M7Reader& body)
{
    int i = add_entry(cr, crN);
    read_circle(body, cr[size_t(i)]);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::CircleExIn(int type, int version, M7Reader& body)
{
    int i = add_entry(crx, crxN);
    auto& o = crx[size_t(i)];
    read_circle(body, o.cr);
    read_edge(body, o.e);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::EllipseIn(int type, int version, M7Reader& body)
{
    int i = add_entry(ep, epN);
    read_ellipse(body, ep[size_t(i)]);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::EllipseExIn(int type, int version, M7Reader& body)
{
    int i = add_entry(epx, epxN);
    auto& o = epx[size_t(i)];
    read_ellipse(body, o.ep);
    read_edge(body, o.e);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::SymbolIn(int type, int version, M7Reader& body)
{
    int i = add_entry(sy, syN);
    auto& o = sy[size_t(i)];
    read_head(body, o.hd);
    body.field(o.pos);
    body.field(o.len);
    body.field(o.o);
    body.field(o.r);
    body.field(o.elipang);
    body.field(o.angle);
    body.field(o.style);
    body.field(o.extype);
    body.field(o.exattr);
    body.field(o.param);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::TextIn(int type, int version, M7Reader& body)
{
    int i = add_entry(tx, txN);
    read_text_part(body, tx[size_t(i)], 0);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::TextExIn(int type, int version, M7Reader& body)
{
    int i = add_entry(txx, txxN);
    auto& o = txx[size_t(i)];
    read_text_part(body, o, kStyleBlock);
    read_style(body, o.ex);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::PolylineIn(int type, int version, M7Reader& body)
{
    int i = add_entry(pl, plN);
    read_chain(body, pl[size_t(i)]);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::PolylineExIn(int type, int version, M7Reader& body)
{
    int i = add_entry(plx, plxN);
    auto& o = plx[size_t(i)];
    read_chain(body, o);
    read_edge(body, o.e);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::BezierIn(int type, int version, M7Reader& body)
{
    int i = add_entry(bz, bzN);
    read_chain(body, bz[size_t(i)]);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::BezierExIn(int type, int version, M7Reader& body)
{
    int i = add_entry(bzx, bzxN);
    auto& o = bzx[size_t(i)];
    read_chain(body, o);
    read_edge(body, o.e);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::PolygonIn(int type, int version, M7Reader& body)
{
    int i = add_entry(pg, pgN);
    read_polygon_part(body, pg[size_t(i)]);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::PolygonGradIn(int type, int version, M7Reader& body)
{
    int i = add_entry(pgg, pggN);
    auto& o = pgg[size_t(i)];
    read_polygon_part(body, o);
    body.field(o.e.typ);
    body.field(o.e.reserved);
    body.field(o.e.col);
    body.field(o.e.pos);
    body.field(o.e.angle);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::PolygonMappingIn(int type, int version, M7Reader& body)
{
    int i = add_entry(pgm, pgmN);
    auto& o = pgm[size_t(i)];
    read_polygon_part(body, o);
    body.field(o.e.reserved);
    body.field(o.e.pos);
    body.field(o.e.size);
    body.field(o.e.depth);
    body.field(o.e.pe);
    o.e.bmp = body.blob(body.remaining());
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::BitmapIn(int type, int version, M7Reader& body)
{
    int i = add_entry(bm, bmN);
    auto& o = bm[size_t(i)];
    read_head(body, o.hd);
    read_bitmap_part(body, o.byt, o.typ, o.pos, o.bmp);
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::BitmapExIn(int type, int version, M7Reader& body)
{
    int i = add_entry(bmx, bmxN);
    auto& o = bmx[size_t(i)];
    read_head(body, o.hd);
    read_bitmap_part(body, o.byt, o.typ, o.pos, o.bmp);
    o.exdata = body.blob(body.remaining());
    EntNoAdd(type, version, i);
    return true;
}

bool TM7Data::GroupIn(int type, int version, M7Reader& body)
{
    int i = add_entry(gr, grN);
    auto& o = gr[size_t(i)];
    read_group_part(body, o, 0);
    EntNoAdd(type, version, i);
    open_group(type, version, i, o.cnt);
    return true;
}

bool TM7Data::GroupDimIn(int type, int version, M7Reader& body)
{
    int i = add_entry(grdim, grdimN);
    auto& o = grdim[size_t(i)];
    read_group_part(body, o, kGroupDimBlock);
    auto& d = o.dim;
    body.field(d.rc);
    body.field(d.angle);
    body.field(d.pos);
    body.field(d.ang);
    body.field(d.r);
    body.field(d.funit);
    body.field(d.base);
    body.field(d.bunit);
    body.field(d.point);
    body.field(d.strip);
    body.field(d.camma);
    body.field(d.jtype);
    read_style(body, d.txtstl);
    read_style(body, d.epsstl);
    body.field(d.reserved);
    if (!known_text_style(d.epsstl.style))
        d.epsstl = TM7TextStyle {};
    EntNoAdd(type, version, i);
    open_group(type, version, i, o.cnt);
    return true;
}

bool TM7Data::GroupQleIn(int type, int version, M7Reader& body)
{
    int i = add_entry(grqle, grqleN);
    auto& o = grqle[size_t(i)];
    read_group_part(body, o, kGroupAnnoBlock);
    auto& q = o.qle;
    body.field(q.align);
    body.field(q.symb);
    body.field(q.camma);
    body.field(q.jtype);
    body.field(q.line);
    body.field(q.spce);
    body.field(q.angle);
    read_style(body, q.txtstl);
    read_style(body, q.epsstl);
    body.field(q.rc);
    body.field(q.rcang);
    if (!known_text_style(q.epsstl.style))
        q.epsstl = TM7TextStyle {};
    EntNoAdd(type, version, i);
    open_group(type, version, i, o.cnt);
    return true;
}

bool TM7Data::GroupBarIn(int type, int version, M7Reader& body)
{
    int i = add_entry(grbar, grbarN);
    auto& o = grbar[size_t(i)];
    read_group_part(body, o, kGroupBarBlock);
    auto& b = o.bar;
    body.field(b.aux);
    body.field(b.symb);
    body.field(b.angle);
    read_style(body, b.txtstl);
    body.field(b.rc);
    body.field(b.rcang);
    EntNoAdd(type, version, i);
    open_group(type, version, i, o.cnt);
    return true;
}
