// Bounded reading shared by the ".jwc" and ".jwk" readers: byte reader, header text fields, records, pool.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "formats/jwc/jwctype.h"

namespace detail {

// The readers' one error; raised and caught inside a reading operation only.
class JwcIoError : public std::runtime_error {
public:
    explicit JwcIoError(const char* msg)
        : std::runtime_error(msg)
    {
    }
};

inline constexpr const char* kJwcIoMessage = "File I/O Error";
inline constexpr std::string_view kJwcId = "jw_cad(c)data.......";
inline constexpr std::string_view kJwkId = "jw_cad(c)sym........";
// Larger files are refused rather than read into memory; real drawings of these formats are far smaller.
inline constexpr uint64_t kMaxJwcFileBytes = uint64_t(1) << 30;

// Every byte of a file passes through here; reads past the end are cut short and zero-filled.
class JwcByteReader {
public:
    explicit JwcByteReader(std::span<const uint8_t> data)
        : data_(data)
    {
    }

    size_t remaining() const { return data_.size() - pos_; }
    size_t position() const { return pos_; }

    // Copies up to n bytes into dst, zero-filling what the data lacks; returns the bytes copied.
    size_t read(uint8_t* dst, size_t n);
    // As read, but a read that yields no byte at all raises JwcIoError.
    size_t read_checked(uint8_t* dst, size_t n);

    // Unchecked fixed-width little-endian reads; missing bytes read as zero.
    uint8_t u8();
    uint16_t u16();
    float f32();

private:
    std::span<const uint8_t> data_;
    size_t pos_ = 0;
};

// Little-endian decoding from a record buffer.
uint16_t le_u16(const uint8_t* p);
int32_t le_i32(const uint8_t* p);
float le_f32(const uint8_t* p);

// The whole file; false when it cannot be opened or is larger than kMaxJwcFileBytes.
bool read_whole_file(const std::u16string& name, std::vector<uint8_t>& out);

// Up to n bytes from the start of the file; false when it cannot be opened.
bool read_file_head(const std::u16string& name, size_t n, std::vector<uint8_t>& out);

// True when the first 20 bytes, decoded and cut at the first zero byte, equal id.
bool has_identification(std::span<const uint8_t> data, std::string_view id);

// Code page 932 bytes cut at the first zero byte, then stripped of characters below U+0020.
std::u16string decode_name(std::span<const uint8_t> bytes);

// The expected fields of a numeric header block: every field "0" first, then the block split at ",".
void split_fields(const std::u16string& text, int count, std::vector<std::u16string>& para);
// A field up to its first NUL character, parsed as a whole number or real; malformed gives 0.
int32_t field_int(const std::vector<std::u16string>& para, int i);
float field_real(const std::vector<std::u16string>& para, int i);
// "SSSS:OOOO": segment x 16 + offset, each four hexadecimal digits; malformed halves count as 0.
int32_t field_segment_address(const std::vector<std::u16string>& para, int i);

// Reads one 200-byte text block into a 256-byte buffer (zero after the 200) and decodes all of it,
// NUL characters included. Raises JwcIoError when no byte is left.
std::u16string read_text_block(JwcByteReader& r, std::vector<uint8_t>* raw = nullptr);

// The first text block of both formats: identification, then the two comments. False when the identification
// is not id. Raises JwcIoError when no byte is left.
bool read_identification(
    JwcByteReader& r, std::string_view id, std::u16string& jwID, std::u16string& comment1, std::u16string& comment2);

// Record decoders; coordinates are multiplied by unit.
inline constexpr size_t kLineRecord = 22, kArcRecord = 32, kMojiRecord = 24, kTenRecord = 12;
TEntJwcLine decode_line(const uint8_t* b, float unit);
TEntJwcArc2 decode_arc(const uint8_t* b, float unit);
TEntJwcTen decode_ten(const uint8_t* b, float unit);
// All but the pool address p, left 0: the two formats store it differently.
TEntJwcMoji2 decode_moji(const uint8_t* b, float unit);

// False when a section of count records of size bytes cannot come from what remains: a read that
// yields nothing would fail anyway, so such a count is refused before anything is allocated.
bool section_fits(int64_t count, size_t size, size_t remaining);

// Reads a section of count records of size bytes into out through decode(bytes), counting each one read in n.
// A count the data cannot hold, or a record with no byte left, raises JwcIoError.
template <class Ent, class Decode>
void read_section(JwcByteReader& r, int32_t count, size_t size, std::vector<Ent>& out, int32_t& n, Decode decode)
{
    if (!section_fits(count, size, r.remaining()))
        throw JwcIoError(kJwcIoMessage);
    out.resize(size_t(count));
    uint8_t buf[32];
    for (auto& e : out) {
        r.read_checked(buf, size);
        e = decode(buf);
        ++n;
    }
}

// The text starting at pool offset off, up to the next zero byte; empty for an offset outside the pool.
std::u16string pool_text(std::span<const uint8_t> pool, int64_t off);

// Reads a string pool of size bytes (none when size is not positive) and gives each text its s from pool
// offset p - base. Raises JwcIoError when a pool is due and no byte is left.
void read_pool_texts(JwcByteReader& r, int64_t size, int64_t base, std::vector<TEntJwcMoji2>& texts);

// Text type no of a table; a number beyond the 12 slots counts as type 0, a short table gives a zero type.
const TEntJwcMojiType& moji_type_at(const std::vector<TEntJwcMojiType>& table, uint8_t no);

// True when the first 20 bytes of the file carry id; false too when it cannot be opened.
bool file_has_identification(const std::u16string& FName, std::string_view id);

// Publishes path, memo and title for the text variables.
void publish_document_info(const std::u16string& FName, const std::u16string& comment1, const std::u16string& comment2);

// The reading operations of both document classes, over each one's DataInit, FileHeaderRead and read_body.
template <class Doc> struct DocumentReading {
    // read_header_bytes: the header alone.
    static bool header_bytes(Doc& doc, std::span<const uint8_t> data)
    {
        doc.DataInit();
        JwcByteReader r(data);
        return doc.FileHeaderRead(r);
    }

    // read_bytes: the header, the document information for the text variables, then the body.
    static bool document_bytes(Doc& doc, std::span<const uint8_t> data, const std::u16string& FName)
    {
        doc.DataInit();
        JwcByteReader r(data);
        if (!doc.FileHeaderRead(r))
            return false;
        publish_document_info(FName, doc.Enthd.comment1, doc.Enthd.comment2);
        try {
            doc.read_body(r);
            return true;
        } catch (const JwcIoError&) {
            return false;
        }
    }

    // FileHeaderIn / FileIn: the whole file through header_bytes / document_bytes.
    static bool header_file(Doc& doc, const std::u16string& FName)
    {
        doc.DataInit();
        std::vector<uint8_t> data;
        if (!read_whole_file(FName, data))
            return false;
        return doc.read_header_bytes(data);
    }

    static bool document_file(Doc& doc, const std::u16string& FName)
    {
        doc.DataInit();
        std::vector<uint8_t> data;
        if (!read_whole_file(FName, data))
            return false;
        return doc.read_bytes(data, FName);
    }
};

} // namespace detail
