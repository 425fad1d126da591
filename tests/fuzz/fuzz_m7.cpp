// Fuzz target of the M7 document: all three reader entry points, the invariants the drawing side relies on, then
// the drawing on its paper at 800 x 600, pictures written to and read back from a private folder.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <utility>

#include "formats/m7/M7Unit.h"
#include "globals/UnitVal.h"
#include "platform/Cp932.h"
#include "tests/fuzz/fuzz_draw.h"

namespace {

void require(bool ok)
{
    if (!ok)
        std::abort();
}

template <class T> void check_list(const std::vector<T>& list, int32_t n)
{
    require(n >= 0 && size_t(n) <= list.size());
}

template <class T> void check_points(const std::vector<T>& list, int32_t n)
{
    check_list(list, n);
    for (int32_t i = 0; i < n; ++i)
        require(list[size_t(i)].cnt >= 1 && size_t(list[size_t(i)].cnt) == list[size_t(i)].pt.size());
}

template <class T> void check_pictures(const std::vector<T>& list, int32_t n)
{
    check_list(list, n);
    for (int32_t i = 0; i < n; ++i)
        require(list[size_t(i)].byt >= 0 && size_t(list[size_t(i)].byt) == list[size_t(i)].bmp.size());
}

void check(const TM7Data& d)
{
    check_list(d.Ent, d.EntN);
    for (int32_t i = 0; i < d.EntN; ++i)
        require(d.Ent[size_t(i)].ENo >= 0);
    for (const auto& lt : d.prnstl.ltype)
        require(lt.count >= 0 && lt.count <= 10);
    check_list(d.pt, d.ptN);
    check_list(d.ln, d.lnN);
    check_list(d.lnx, d.lnxN);
    check_list(d.cr, d.crN);
    check_list(d.crx, d.crxN);
    check_list(d.ep, d.epN);
    check_list(d.epx, d.epxN);
    check_list(d.tx, d.txN);
    check_list(d.txx, d.txxN);
    check_points(d.bz, d.bzN);
    check_points(d.bzx, d.bzxN);
    check_points(d.pl, d.plN);
    check_points(d.plx, d.plxN);
    check_points(d.pg, d.pgN);
    check_points(d.pgg, d.pggN);
    check_points(d.pgm, d.pgmN);
    check_pictures(d.bm, d.bmN);
    check_pictures(d.bmx, d.bmxN);
    check_list(d.sy, d.syN);
    check_list(d.gr, d.grN);
    check_list(d.grdim, d.grdimN);
    check_list(d.grqle, d.grqleN);
    check_list(d.grbar, d.grbarN);
    require(d.list_bytes() <= d.list_limit);
}

// The driver's steps after a load: the paper from the document, drawn when it has entries.
void draw(TM7Data& d)
{
    static fuzz_draw::PrivateFolder folder("fuzz_m7");
    gRunTempFolder = platform::utf8_to_utf16(folder.root.string() + "/");
    double papx = std::fabs(d.psz.size[2] - d.psz.size[0]);
    double papy = std::fabs(d.psz.size[3] - d.psz.size[1]);
    if (d.psz.lout == 1)
        std::swap(papx, papy);
    if (d.EntN > 0)
        fuzz_draw::draw_m7(d, papx, papy);
    // Every picture file the drawing made must be gone again.
    if (!std::filesystem::is_empty(folder.root))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::span<const uint8_t> bytes(data, size);
    TM7Data d;
    // Small enough for the fuzzer's memory limit, large enough for every input it makes.
    d.list_limit = size_t(64) << 20;
    d.check_memory(bytes);
    d.DataFree();
    d.header_in_memory(bytes);
    check(d);
    d.DataFree();
    d.read_memory(bytes);
    check(d);
    draw(d);
    return 0;
}
