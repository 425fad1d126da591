// iconv does the table work; we add the per-character recovery that iconv leaves to its caller.
#include "platform/Cp932.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace platform {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from)
        : cd_(iconv_open(to, from))
    {
    }
    ~Converter()
    {
        if (cd_ != iconv_t(-1))
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; on an undecodable unit returns false with `in` pointing at it.
    bool run(const char*& in, size_t& in_left, std::string& out)
    {
        if (cd_ == iconv_t(-1))
            return false;
        char buf[4096];
        while (in_left > 0) {
            char* o = buf;
            size_t o_left = sizeof buf;
            size_t r = iconv(cd_, const_cast<char**>(&in), &in_left, &o, &o_left);
            out.append(buf, size_t(o - buf));
            if (r == size_t(-1) && errno != E2BIG) {
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
                return false;
            }
        }
        return true;
    }

private:
    iconv_t cd_;
};

std::u16string from_utf16le_bytes(const std::string& b)
{
    std::u16string s(b.size() / 2, u'\0');
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = char16_t(uint8_t(b[2 * i]) | (uint8_t(b[2 * i + 1]) << 8));
    return s;
}

std::string to_utf16le_bytes(std::u16string_view s)
{
    std::string b(s.size() * 2, '\0');
    for (size_t i = 0; i < s.size(); ++i) {
        b[2 * i] = char(s[i] & 0xFF);
        b[2 * i + 1] = char(s[i] >> 8);
    }
    return b;
}

} // namespace

std::u16string cp932_to_utf16(std::string_view bytes)
{
    thread_local Converter conv("UTF-16LE", "CP932");
    std::u16string result;
    const char* in = bytes.data();
    size_t left = bytes.size();
    std::string out;
    while (left > 0) {
        if (conv.run(in, left, out))
            break;
        // Skip one undecodable byte (a lone lead byte at the end, or an unmapped code).
        result += from_utf16le_bytes(out);
        out.clear();
        result += u'\uFFFD';
        ++in;
        --left;
    }
    result += from_utf16le_bytes(out);
    return result;
}

std::string utf16_to_cp932(std::u16string_view text)
{
    thread_local Converter conv("CP932", "UTF-16LE");
    std::string result;
    std::string bytes = to_utf16le_bytes(text);
    const char* in = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        if (conv.run(in, left, result))
            break;
        result += '?';
        // Skip the whole unmappable character, both halves of a surrogate pair included.
        size_t skip = 2;
        if (left >= 4) {
            char16_t c = char16_t(uint8_t(in[0]) | (uint8_t(in[1]) << 8));
            if (c >= 0xD800 && c <= 0xDBFF)
                skip = 4;
        }
        skip = std::min(skip, left);
        in += skip;
        left -= skip;
    }
    return result;
}

namespace {

// Bytes that are not UTF-8 travel through a UTF-16 path as the lone low surrogates U+DC00 + byte, so a file
// name made on another system comes back byte for byte.
constexpr char16_t kEscapedByte = 0xDC00;

bool is_escaped_byte(uint32_t c) { return c >= kEscapedByte && c <= kEscapedByte + 0xFF; }

// Shift_JIS, common in names made on Windows: a lead byte and its trail byte, which may be "\" (0x5C).
bool sjis_lead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool sjis_trail(uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

std::string encode_utf8(std::u16string_view text, bool escaped_bytes)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (escaped_bytes && is_escaped_byte(c)) {
            out += char(c - kEscapedByte);
            continue;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The code point of the UTF-8 sequence at s[i] and its length; 0 when the bytes there are not one.
size_t decode_one(std::string_view s, size_t i, uint32_t& c)
{
    const uint8_t b = uint8_t(s[i]);
    if (b < 0x80) {
        c = b;
        return 1;
    }
    size_t len = 0;
    uint32_t min = 0;
    if ((b & 0xE0) == 0xC0)
        len = 2, min = 0x80;
    else if ((b & 0xF0) == 0xE0)
        len = 3, min = 0x800;
    else if ((b & 0xF8) == 0xF0)
        len = 4, min = 0x10000;
    if (len == 0 || i + len > s.size())
        return 0;
    uint32_t v = b & (0x3F >> (len - 1));
    for (size_t k = 1; k < len; ++k) {
        const uint8_t cb = uint8_t(s[i + k]);
        if ((cb & 0xC0) != 0x80)
            return 0;
        v = (v << 6) | (cb & 0x3F);
    }
    // Overlong forms and encoded surrogates would not come back as the same bytes.
    if (v > 0x10FFFF || v < min || (v >= 0xD800 && v <= 0xDFFF))
        return 0;
    c = v;
    return len;
}

std::u16string decode_utf8(std::string_view s, bool escaped_bytes)
{
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        uint32_t c = 0;
        size_t len = decode_one(s, i, c);
        if (len == 0 && escaped_bytes && sjis_lead(uint8_t(s[i])) && i + 1 < s.size()
            && sjis_trail(uint8_t(s[i + 1]))) {
            // Both bytes escaped, so a trail byte 0x5C is never taken for a path separator.
            out += char16_t(kEscapedByte + uint8_t(s[i]));
            out += char16_t(kEscapedByte + uint8_t(s[i + 1]));
            i += 2;
            continue;
        }
        if (len == 0) {
            c = escaped_bytes ? kEscapedByte + uint8_t(s[i]) : 0xFFFD;
            len = 1;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
        i += len;
    }
    return out;
}

} // namespace

std::string utf16_to_utf8(std::u16string_view text) { return encode_utf8(text, false); }

std::u16string utf8_to_utf16(std::string_view s) { return decode_utf8(s, false); }

std::string path_to_bytes(std::u16string_view path) { return encode_utf8(path, true); }

std::u16string path_from_bytes(std::string_view bytes) { return decode_utf8(bytes, true); }

} // namespace platform
