// Reading ".jww"-style archives: the bounded byte reader, counted strings, class tags and object lists.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "formats/jww/jwwtype.h"

namespace detail {

// The readers' own input/output error; it never leaves a public operation.
class JwwIoError : public std::runtime_error {
public:
    explicit JwwIoError(const char* message)
        : std::runtime_error(message)
    {
    }
};

inline constexpr const char* kJwwIoMessage = "File I/O Error";
inline constexpr const char* kJwwHeaderMessage = "JWW-Header Error";
inline constexpr const char* kJwwVersionMessage = "JWW-Version Error";

// Longest class name a new-class tag may announce; longer ones are refused as unknown.
inline constexpr size_t kJwwMaxClassName = 2047;
// Largest file read into memory.
inline constexpr uint64_t kJwwMaxFileBytes = uint64_t(2) << 30;

// Every byte of a file passes through here. A read past the end delivers what remains (possibly
// nothing) and leaves the rest of the destination as it was, as the drawings' home platform does.
class JwwArchive {
public:
    JwwArchive() = default;
    explicit JwwArchive(std::span<const uint8_t> bytes)
        : data_(bytes)
    {
    }

    size_t position() const { return pos_; }
    size_t remaining() const { return data_.size() - pos_; }
    bool at_end() const { return pos_ >= data_.size(); }
    void seek(size_t pos) { pos_ = pos < data_.size() ? pos : data_.size(); }

    // Copies up to n bytes into dst; returns how many were delivered.
    size_t read(void* dst, size_t n)
    {
        size_t k = n < remaining() ? n : remaining();
        if (k)
            std::memcpy(dst, data_.data() + pos_, k);
        pos_ += k;
        return k;
    }
    // The next up to n bytes, without copying.
    std::span<const uint8_t> take(size_t n)
    {
        size_t k = n < remaining() ? n : remaining();
        auto s = data_.subspan(pos_, k);
        pos_ += k;
        return s;
    }
    size_t skip(size_t n) { return take(n).size(); }

    // Reads into an existing value (bytes not delivered keep their old contents).
    template <class T> size_t read_into(T& v) { return read(&v, sizeof(T)); }
    // Reads a fresh value; bytes not delivered are zero.
    template <class T> T get()
    {
        T v {};
        read(&v, sizeof(T));
        return v;
    }
    uint8_t u8() { return get<uint8_t>(); }
    uint16_t u16() { return get<uint16_t>(); }
    int32_t i32() { return get<int32_t>(); }
    uint32_t u32() { return get<uint32_t>(); }
    double f64() { return get<double>(); }

private:
    std::span<const uint8_t> data_;
    size_t pos_ = 0;
};

// The stored bytes of a counted string and whether they are UTF-16.
struct JwwRawString {
    std::span<const uint8_t> bytes;
    bool wide = false;
};
JwwRawString take_counted_string(JwwArchive& ar, bool& moji_encode);
std::u16string decode_string(const JwwRawString& raw);

// Counted string in either form; sets moji_encode when the UTF-16 form is met. Ends at the first NUL.
std::u16string read_counted_string(JwwArchive& ar, bool& moji_encode);
// The same without every character below U+0020.
std::u16string read_clean_string(JwwArchive& ar, bool& moji_encode);
// Consumes a counted string without decoding it.
void skip_counted_string(JwwArchive& ar, bool& moji_encode);
// Object count: u16, or u32 after 0xFFFF.
uint32_t read_object_count(JwwArchive& ar);

// The first n bytes of a regular file; false when it cannot be opened or is shorter.
bool read_file_head(const std::u16string& path, uint8_t* out, size_t n);

// A count read as unsigned, as the signed count fields hold it (saturating).
inline int32_t clamp_count(uint32_t n) { return n > uint32_t(INT32_MAX) ? INT32_MAX : int32_t(n); }

// The first n entries of a list; never more than the vector holds, whatever the count says.
template <class T> std::span<const T> first_n(const std::vector<T>& v, int32_t n)
{
    return { v.data(), n <= 0 ? size_t(0) : std::min(size_t(n), v.size()) };
}

// Empties a list and gives its memory back (assigning {} would keep the capacity).
template <class T> void release(std::vector<T>& v) { std::vector<T>().swap(v); }

// Reads the whole file at path (UTF-16, Windows separators allowed); false when it cannot be read or is
// larger than kJwwMaxFileBytes.
bool read_file_bytes(const std::u16string& path, std::vector<uint8_t>& out);

// A file's bytes in a buffer that is not zero-filled first, which matters for large drawings.
class JwwFileBytes {
public:
    JwwFileBytes() = default;
    ~JwwFileBytes() { clear(); }
    JwwFileBytes(const JwwFileBytes&) = delete;
    JwwFileBytes& operator=(const JwwFileBytes&) = delete;

    std::span<const uint8_t> span() const { return { data_, size_ }; }
    size_t size() const { return size_; }
    void clear();
    uint8_t* allocate(size_t n);
    void shrink(size_t n) { size_ = n < size_ ? n : size_; }

private:
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t mapped_ = 0;
};
bool read_file_bytes(const std::u16string& path, JwwFileBytes& out);

// Strings of one document's packed records.
class JwwStringPool {
public:
    JwwStringPool() { clear(); }
    void clear()
    {
        std::vector<std::u16string>().swap(strings_);
        strings_.emplace_back();
    }
    void reserve(size_t n) { strings_.reserve(strings_.size() + n); }
    JwwStr add(std::u16string s)
    {
        if (s.empty())
            return {};
        strings_.push_back(std::move(s));
        return { uint32_t(strings_.size() - 1) };
    }
    const std::u16string& get(JwwStr s) const { return s.index < strings_.size() ? strings_[s.index] : strings_[0]; }
    size_t size() const { return strings_.size(); }

private:
    std::vector<std::u16string> strings_;
};

// Class-tag bookkeeping shared by every object list of one file.
struct JwwClassMap {
    int64_t next_index = 1;
    int64_t class_index[8] = {}; // by kind 1..7; 0 = not named yet
};

// The lists one object list reads into: the drawing's own, or a block definition's.
struct JwwEntitySink {
    std::vector<TEntJwwLine>* line = nullptr;
    std::vector<TEntJwwEnko>* enko = nullptr;
    std::vector<TEntJwwTen>* ten = nullptr;
    std::vector<TEntJwwMoji>* moji = nullptr;
    std::vector<TEntJwwSunpo>* sunpo = nullptr;
    std::vector<TEntJwwSolid>* solid = nullptr;
    std::vector<TEntJwwBlock>* block = nullptr;
    std::vector<TEntJwwNo>* order = nullptr;
};

// State of one file being read.
struct JwwReadContext {
    JwwReadContext(JwwArchive& a, int32_t v, JwwStringPool& p, bool& m)
        : ar(a)
        , version(v)
        , pool(p)
        , moji_encode(m)
    {
    }
    JwwArchive& ar;
    int32_t version = 0;
    JwwStringPool& pool;
    bool& moji_encode;
    JwwClassMap classes;
    // Symbol files keep control characters in their strings; drawings drop them.
    bool keep_controls = false;
    // Texts mostly share their font, so a name stored as the same bytes is decoded and pooled once.
    JwwStr last_font;
    std::span<const uint8_t> last_font_bytes;
    bool last_font_wide = false;
};

// Attribute in the layout of the version; returns the bytes delivered.
size_t read_ent_attr(JwwArchive& ar, int32_t version, TEntJwwAttr& att);

// Reads objects until count of them are taken. Throws JwwIoError for an unknown class or when the file
// ends before the count is reached; a record cut off by the end of the file is dropped.
void read_object_list(JwwReadContext& ctx, uint64_t count, const JwwEntitySink& sink);

// Block definitions after the entity list (count, then each definition); throws JwwIoError when a
// fixed part cannot be read. defs holds every definition read so far, also after a failure.
void read_block_definitions(JwwReadContext& ctx, uint64_t count, std::vector<TEntJwwBlockDef>& defs);

// How much a block tree may expand. Definitions inserted into definitions multiply, so a small file could
// ask for millions of instances; well-formed drawings stay far below both limits.
// Tree nodes in all: each holds its own transform and name, and extents and drawing walk every one.
inline constexpr size_t kJwwMaxBlockInstances = 100000;
// Lines, arcs, points, texts, dimensions and solids drawn through all nodes together: about what a drawing
// of 50 MB holds of its own.
inline constexpr size_t kJwwMaxBlockEntities = 1000000;
struct JwwBlockBudget {
    size_t instances = kJwwMaxBlockInstances;
    size_t entities = kJwwMaxBlockEntities;
};

// The expanded block tree, breadth first. Explosive and cyclic definitions are cut: a definition already on
// a node's path is not expanded again below it, path searches stop after kJwwMaxTreeSteps steps, and nodes
// are taken in tree order only while the budget lasts, so the drawing is drawn up to the budget, in order.
// The node that uses up the entity budget is still taken: a single large definition is placed once.
inline constexpr size_t kJwwMaxTreeSteps = 64000000;
void build_block_tree(const std::vector<TEntJwwBlock>& blocks, std::vector<TEntJwwBlockDef>& defs,
    std::vector<TEntJwwBlockTree>& tree, int32_t& used_defs, const JwwBlockBudget& budget = {});

// Plain file name of a stored image: the part after the last separator, without a drive prefix;
// "" when nothing safe remains.
std::u16string bind_image_plain_name(const std::u16string& name);

} // namespace detail
