// Builds ".jws" symbol drawings byte by byte: the fixed 452-byte header, then a ".jww" body.
#include "tests/support/jww_symbol_writer.h"

#include <fstream>

namespace jwwtest {

JwsWriter::JwsWriter(int32_t version)
    : header_version(version)
    , body(version)
{
    scales.fill(1.0);
}

std::vector<uint8_t> JwsWriter::bytes() const
{
    std::vector<uint8_t> o;
    std::string m = magic;
    m.resize(7, '\0');
    o.insert(o.end(), m.begin(), m.end());
    o.insert(o.end(), 193, 0);
    JwwWriter::put_i32(o, header_version);
    JwwWriter::put_f64(o, base_x);
    JwwWriter::put_f64(o, base_y);
    for (double s : scales)
        JwwWriter::put_f64(o, s);
    for (int32_t v : dmy0)
        JwwWriter::put_i32(o, v);
    for (double v : dmy1)
        JwwWriter::put_f64(o, v);
    for (double v : mxy)
        JwwWriter::put_f64(o, v);
    const std::vector<uint8_t> all = body.bytes();
    const size_t head = body.header_bytes().size();
    o.insert(o.end(), all.begin() + std::ptrdiff_t(head), all.end());
    if (truncate_at && truncate_at < o.size())
        o.resize(truncate_at);
    return o;
}

bool JwsWriter::save(const std::string& path) const
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    const std::vector<uint8_t> b = bytes();
    f.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    return bool(f);
}

} // namespace jwwtest
