// Counted strings, class tags, entity records, block definitions and the block tree of ".jww" archives.
#include "formats/jww/JwwArchive.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

#include "util/Func_2_files.h"
#include "util/Func_2_text.h"

namespace detail {
namespace {

// Byte sizes of the fixed parts in the layout from version 351 on.
constexpr size_t kLineBytes = 47;
constexpr size_t kEnkoBytes = 75;
constexpr size_t kTenBytes = 35;
constexpr size_t kTenMarkerBytes = 20;
constexpr size_t kMojiBytes = 83;
constexpr size_t kSolidBytes = 79;
constexpr size_t kBlockBytes = 59;
constexpr size_t kBlockDefBytes = 27;
constexpr int32_t kWideAttrVersion = 351;
constexpr int32_t kSxfVersion = 420;

// Below this many announced objects the lists simply grow; above it a counting pass sizes them exactly.
constexpr uint64_t kCountingPassMin = 256;

std::u16string decode_ansi(std::span<const uint8_t> b)
{
    size_t n = std::find(b.begin(), b.end(), uint8_t(0)) - b.begin();
    if (std::all_of(b.begin(), b.begin() + n, [](uint8_t c) { return c < 0x80; }))
        return std::u16string(b.begin(), b.begin() + n);
    return AnsiBytesToText(std::string_view(reinterpret_cast<const char*>(b.data()), n));
}

void remove_control_chars(std::u16string& s)
{
    s.erase(std::remove_if(s.begin(), s.end(), [](char16_t c) { return c < 0x20; }), s.end());
}

// A fixed part that begins with an attribute, widened to the current layout for old files.
// Returns the number of bytes delivered.
size_t read_fixed(JwwArchive& ar, int32_t version, void* record, size_t size)
{
    auto* p = static_cast<uint8_t*>(record);
    if (version >= kWideAttrVersion)
        return ar.read(p, size);
    size_t k = ar.read(p, 7);
    if (k < 7)
        return k;
    return k + ar.read(p + 9, size - 9);
}

const char* const kClassNames[8] = { "", "CDataSen", "CDataEnko", "CDataTen", "CDataMoji", "CDataSunpou", "CDataSolid",
    "CDataBlock" };

int class_kind(std::span<const uint8_t> name)
{
    size_t n = std::find(name.begin(), name.end(), uint8_t(0)) - name.begin();
    std::string_view s(reinterpret_cast<const char*>(name.data()), n);
    for (int k = 1; k <= 7; ++k)
        if (s == kClassNames[k])
            return k;
    return 0;
}

// Reads a new-class tag's schema and name; refuses names longer than the reader handles.
std::span<const uint8_t> read_class_name(JwwArchive& ar)
{
    ar.u16();
    uint16_t len = ar.u16();
    if (len > kJwwMaxClassName)
        throw JwwIoError(kJwwIoMessage);
    return ar.take(len);
}

// Reads one class tag; the kind it selects, or 0 for none.
int read_tag(JwwReadContext& c)
{
    uint16_t tag = c.ar.u16();
    if (tag == 0xFFFF) {
        int kind = class_kind(read_class_name(c.ar));
        if (kind == 0)
            throw JwwIoError(kJwwIoMessage);
        c.classes.class_index[kind] = c.classes.next_index++;
        return kind;
    }
    int64_t ref = tag == 0x7FFF ? int64_t(c.ar.u32() & 0x7FFFFFFFu) : int64_t(tag) - 0x8000;
    int kind = 0;
    for (int k = 1; k <= 7; ++k)
        if (c.classes.class_index[k] == ref)
            kind = k;
    return kind;
}

struct KindCounts {
    uint64_t n[8] = {};
    uint64_t total = 0;
};

template <bool Store> void read_strings(JwwReadContext& c, TEntJwwMoji& m)
{
    if constexpr (Store) {
        JwwRawString font = take_counted_string(c.ar, c.moji_encode);
        bool same = c.last_font.index != 0 && font.wide == c.last_font_wide
            && std::equal(font.bytes.begin(), font.bytes.end(), c.last_font_bytes.begin(), c.last_font_bytes.end());
        if (!same) {
            std::u16string name = decode_string(font);
            if (!c.keep_controls)
                remove_control_chars(name);
            c.last_font = c.pool.add(std::move(name));
            c.last_font_bytes = font.bytes;
            c.last_font_wide = font.wide;
        }
        m.strFontName = c.last_font;
        m.str = c.pool.add(
            c.keep_controls ? read_counted_string(c.ar, c.moji_encode) : read_clean_string(c.ar, c.moji_encode));
    } else {
        skip_counted_string(c.ar, c.moji_encode);
        skip_counted_string(c.ar, c.moji_encode);
    }
    if (!std::isfinite(double(m.dSizeX)))
        m.dSizeX = 3.0;
    if (!std::isfinite(double(m.dSizeY)))
        m.dSizeY = 3.0;
    if (!std::isfinite(double(m.dKankaku)))
        m.dKankaku = 0.0;
}

// A point's fixed part and, for a marker point, its marker fields.
size_t read_ten(JwwArchive& ar, int32_t version, TEntJwwTen& t)
{
    size_t k = read_fixed(ar, version, &t, kTenBytes);
    if (k == 0)
        return 0;
    if (t.att.nPenStyle == 100) {
        ar.read(reinterpret_cast<uint8_t*>(&t) + kTenBytes, kTenMarkerBytes);
    } else {
        t.nCode = 0;
        t.radKaitenKaku = 0;
    }
    return k;
}

template <bool Store> bool read_sunpo(JwwReadContext& c, TEntJwwSunpo& r)
{
    read_ent_attr(c.ar, c.version, r.att);
    read_fixed(c.ar, c.version, &r.Sen, kLineBytes);
    if (read_fixed(c.ar, c.version, &r.Moji, kMojiBytes) == 0)
        return false;
    read_strings<Store>(c, r.Moji);
    if (c.version >= kSxfVersion) {
        r.bSxfMode = c.ar.u16();
        read_fixed(c.ar, c.version, &r.Ho1, kLineBytes);
        read_fixed(c.ar, c.version, &r.Ho2, kLineBytes);
        read_ten(c.ar, c.version, r.Te1);
        read_ten(c.ar, c.version, r.Te2);
        read_ten(c.ar, c.version, r.Kt1);
        return read_ten(c.ar, c.version, r.Kt2) > 0;
    }
    r.bSxfMode = 0;
    r.Ho1.att = r.att;
    r.Ho2.att = r.att;
    TEntJwwAttr pa = r.att;
    pa.nPenStyle = 0;
    r.Te1.att = pa;
    r.Te2.att = pa;
    r.Kt1.att = pa;
    r.Kt2.att = pa;
    return true;
}

template <class T> void store(std::vector<T>* list, const T& r, int kind, std::vector<TEntJwwNo>* order)
{
    order->push_back({ kind, int32_t(list->size()) });
    list->push_back(r);
}

// Reads one record of kind; false when a checked read delivered nothing (the record is dropped).
template <bool Store> bool read_record(JwwReadContext& c, int kind, const JwwEntitySink* sink)
{
    JwwArchive& ar = c.ar;
    switch (kind) {
    case kJwwLine: {
        TEntJwwLine r;
        if (read_fixed(ar, c.version, &r, kLineBytes) == 0)
            return false;
        if constexpr (Store)
            store(sink->line, r, kind, sink->order);
        return true;
    }
    case kJwwEnko: {
        TEntJwwEnko r;
        if (read_fixed(ar, c.version, &r, kEnkoBytes) == 0)
            return false;
        if constexpr (Store)
            store(sink->enko, r, kind, sink->order);
        return true;
    }
    case kJwwTen: {
        TEntJwwTen r;
        if (read_ten(ar, c.version, r) == 0)
            return false;
        if constexpr (Store)
            store(sink->ten, r, kind, sink->order);
        return true;
    }
    case kJwwMoji: {
        TEntJwwMoji r;
        if (read_fixed(ar, c.version, &r, kMojiBytes) == 0)
            return false;
        read_strings<Store>(c, r);
        if constexpr (Store)
            store(sink->moji, r, kind, sink->order);
        return true;
    }
    case kJwwSunpo: {
        TEntJwwSunpo r;
        if (!read_sunpo<Store>(c, r))
            return false;
        if constexpr (Store)
            store(sink->sunpo, r, kind, sink->order);
        return true;
    }
    case kJwwSolid: {
        TEntJwwSolid r;
        if (read_fixed(ar, c.version, &r, kSolidBytes) == 0)
            return false;
        if (r.att.nPenColor == 10)
            ar.read(reinterpret_cast<uint8_t*>(&r) + kSolidBytes, 4);
        else
            r.Color = 0;
        if constexpr (Store)
            store(sink->solid, r, kind, sink->order);
        return true;
    }
    case kJwwBlock: {
        TEntJwwBlock r;
        if (read_fixed(ar, c.version, &r, kBlockBytes) == 0)
            return false;
        if constexpr (Store)
            store(sink->block, r, kind, sink->order);
        return true;
    }
    default: return false;
    }
}

// Takes objects until count are taken. Without Store the records are only measured into counts.
template <bool Store>
void walk_objects(JwwReadContext& c, uint64_t count, const JwwEntitySink* sink, KindCounts* counts)
{
    for (uint64_t taken = 0; taken < count;) {
        // A tag that selects nothing is not counted, so only the end of the file bounds the loop.
        if (c.ar.at_end())
            throw JwwIoError(kJwwIoMessage);
        int kind = read_tag(c);
        if (kind == 0)
            continue;
        bool ok = read_record<Store>(c, kind, sink);
        if constexpr (!Store) {
            if (ok) {
                ++counts->n[kind];
                ++counts->total;
            }
        }
        ++taken;
        ++c.classes.next_index;
    }
}

// Asks for huge pages on the untouched interior of a large block: one fault per 2 MiB instead of 4 KiB.
void hint_huge_pages(void* p, size_t bytes)
{
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    uintptr_t a = (reinterpret_cast<uintptr_t>(p) + kHuge - 1) & ~(kHuge - 1);
    uintptr_t b = (reinterpret_cast<uintptr_t>(p) + bytes) & ~(kHuge - 1);
    if (b > a)
        ::madvise(reinterpret_cast<void*>(a), b - a, MADV_HUGEPAGE);
}

template <class T> void reserve_more(std::vector<T>* v, uint64_t n)
{
    if (!n)
        return;
    v->reserve(v->size() + size_t(n));
    hint_huge_pages(v->data(), v->capacity() * sizeof(T));
}

template <class T> void cut(std::vector<T>* v)
{
    if (v->capacity() > v->size())
        v->shrink_to_fit();
}

} // namespace

JwwRawString take_counted_string(JwwArchive& ar, bool& moji_encode)
{
    uint32_t n = ar.u8();
    if (n == 0xFF) {
        uint16_t w = ar.u16();
        if (w == 0xFFFE) {
            moji_encode = true;
            uint32_t m = ar.u8();
            if (m == 0xFF)
                m = ar.u16();
            return { ar.take(size_t(m) * 2), true };
        }
        n = w;
    }
    return { ar.take(n), false };
}

std::u16string decode_string(const JwwRawString& raw)
{
    if (raw.wide)
        return WideBytesToText(std::string_view(reinterpret_cast<const char*>(raw.bytes.data()), raw.bytes.size()));
    return decode_ansi(raw.bytes);
}

std::u16string read_counted_string(JwwArchive& ar, bool& moji_encode)
{
    return decode_string(take_counted_string(ar, moji_encode));
}

std::u16string read_clean_string(JwwArchive& ar, bool& moji_encode)
{
    std::u16string s = read_counted_string(ar, moji_encode);
    remove_control_chars(s);
    return s;
}

void skip_counted_string(JwwArchive& ar, bool& moji_encode) { take_counted_string(ar, moji_encode); }

uint32_t read_object_count(JwwArchive& ar)
{
    uint32_t n = ar.u16();
    if (n == 0xFFFF)
        n = ar.u32();
    return n;
}

namespace {

// Reads a regular file whole through alloc(n) -> buffer of n bytes; returns the bytes read or -1.
template <class Alloc> int64_t read_whole_file(const std::u16string& path, Alloc alloc)
{
    if (path.empty())
        return -1;
    int fd = ::open(native_path(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat st { };
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && uint64_t(st.st_size) <= kJwwMaxFileBytes;
    size_t got = 0;
    if (ok) {
        size_t n = size_t(st.st_size);
        uint8_t* buf = alloc(n);
        while (got < n) {
            ssize_t r = ::read(fd, buf + got, n - got);
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0)
                ok = false;
            if (r <= 0)
                break;
            got += size_t(r);
        }
    }
    ::close(fd);
    // A file that shrank while being read is taken as it was delivered.
    return ok ? int64_t(got) : -1;
}

} // namespace

// The first n bytes of a regular file; false when it cannot be opened or is shorter.
bool read_file_head(const std::u16string& path, uint8_t* out, size_t n)
{
    if (path.empty())
        return false;
    int fd = ::open(detail::native_path(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st { };
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    size_t got = 0;
    while (ok && got < n) {
        ssize_t r = ::read(fd, out + got, n - got);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        got += size_t(r);
    }
    ::close(fd);
    return ok && got == n;
}

bool read_file_bytes(const std::u16string& path, std::vector<uint8_t>& out)
{
    out.clear();
    int64_t got = read_whole_file(path, [&out](size_t n) {
        out.resize(n);
        return out.data();
    });
    out.resize(got < 0 ? 0 : size_t(got));
    return got >= 0;
}

void JwwFileBytes::clear()
{
    if (mapped_)
        ::munmap(data_, mapped_);
    else
        delete[] data_;
    data_ = nullptr;
    size_ = mapped_ = 0;
}

uint8_t* JwwFileBytes::allocate(size_t n)
{
    clear();
    // Large drawings get anonymous memory that may use huge pages: far fewer page faults than a
    // zero-filled heap block.
    constexpr size_t kHuge = size_t(2) << 20;
    if (n >= kHuge) {
        size_t len = (n + kHuge - 1) / kHuge * kHuge;
        void* p = ::mmap(nullptr, len, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p != MAP_FAILED) {
            ::madvise(p, len, MADV_HUGEPAGE);
            data_ = static_cast<uint8_t*>(p);
            mapped_ = len;
            size_ = n;
            return data_;
        }
    }
    data_ = new uint8_t[n ? n : 1];
    size_ = n;
    return data_;
}

bool read_file_bytes(const std::u16string& path, JwwFileBytes& out)
{
    out.clear();
    int64_t got = read_whole_file(path, [&out](size_t n) { return out.allocate(n); });
    if (got < 0)
        out.clear();
    else
        out.shrink(size_t(got));
    return got >= 0;
}

size_t read_ent_attr(JwwArchive& ar, int32_t version, TEntJwwAttr& att)
{
    return read_fixed(ar, version, &att, sizeof(TEntJwwAttr));
}

void read_object_list(JwwReadContext& c, uint64_t count, const JwwEntitySink& sink)
{
    if (count >= kCountingPassMin) {
        // Size every list exactly before storing, so a large drawing is neither reallocated nor
        // held twice; the pass sees exactly what the storing pass will see.
        size_t start = c.ar.position();
        JwwClassMap classes = c.classes;
        KindCounts counts;
        try {
            walk_objects<false>(c, count, nullptr, &counts);
        } catch (const JwwIoError&) {
        }
        c.ar.seek(start);
        c.classes = classes;
        reserve_more(sink.line, counts.n[kJwwLine]);
        reserve_more(sink.enko, counts.n[kJwwEnko]);
        reserve_more(sink.ten, counts.n[kJwwTen]);
        reserve_more(sink.moji, counts.n[kJwwMoji]);
        reserve_more(sink.sunpo, counts.n[kJwwSunpo]);
        reserve_more(sink.solid, counts.n[kJwwSolid]);
        reserve_more(sink.block, counts.n[kJwwBlock]);
        reserve_more(sink.order, counts.total);
        c.pool.reserve(size_t(counts.n[kJwwMoji] + counts.n[kJwwSunpo]));
    }
    walk_objects<true>(c, count, &sink, nullptr);
    cut(sink.line);
    cut(sink.enko);
    cut(sink.ten);
    cut(sink.moji);
    cut(sink.sunpo);
    cut(sink.solid);
    cut(sink.block);
    cut(sink.order);
}

void read_block_definitions(JwwReadContext& c, uint64_t count, std::vector<TEntJwwBlockDef>& defs)
{
    for (uint64_t d = 1; d <= count; ++d) {
        uint16_t tag = c.ar.u16();
        if (tag == 0xFFFF) {
            read_class_name(c.ar);
            ++c.classes.next_index;
        } else if (tag == 0x7FFF) {
            c.ar.u32();
        }
        detail::JwwBlockDefHead head;
        if (read_fixed(c.ar, c.version, &head, kBlockDefBytes) == 0)
            throw JwwIoError(kJwwIoMessage);
        if (head.dtime & 0x80000000u) {
            c.ar.skip(8);
            head.dtime = uint32_t(d);
        }
        TEntJwwBlockDef& def = defs.emplace_back();
        static_cast<detail::JwwBlockDefHead&>(def) = head;
        def.strName = c.keep_controls ? read_counted_string(c.ar, c.moji_encode)
                                      : read_clean_string(c.ar, c.moji_encode);
        uint32_t n = read_object_count(c.ar);
        ++c.classes.next_index;
        JwwEntitySink sink { &def.mLine, &def.mEnko, &def.mTen, &def.mMoji, &def.mSunpo, &def.mSolid, &def.mBlock,
            &def.mNo };
        auto settle = [&def] {
            def.mLineN = int32_t(def.mLine.size());
            def.mEnkoN = int32_t(def.mEnko.size());
            def.mTenN = int32_t(def.mTen.size());
            def.mMojiN = int32_t(def.mMoji.size());
            def.mSunpoN = int32_t(def.mSunpo.size());
            def.mSolidN = int32_t(def.mSolid.size());
            def.mBlockN = int32_t(def.mBlock.size());
            def.N = int32_t(def.mNo.size());
        };
        try {
            read_object_list(c, n, sink);
        } catch (...) {
            settle();
            throw;
        }
        settle();
    }
}

namespace {

// Definitions that can reach themselves through nested inserts: only those can repeat on a path.
// Also gives each definition its strongly connected component, iteratively (Tarjan).
void find_cycles(const std::vector<int32_t>& offsets, const std::vector<int32_t>& targets, std::vector<int32_t>& comp,
    std::vector<char>& cyclic)
{
    size_t n = offsets.size() - 1;
    comp.assign(n, -1);
    cyclic.assign(n, 0);
    std::vector<int32_t> index(n, -1), low(n, 0);
    std::vector<char> on_stack(n, 0);
    std::vector<int32_t> stack;
    struct Frame {
        int32_t v;
        int32_t edge;
    };
    std::vector<Frame> calls;
    int32_t counter = 0;
    int32_t comps = 0;
    for (size_t s = 0; s < n; ++s) {
        if (index[s] >= 0)
            continue;
        auto enter = [&](int32_t v) {
            index[v] = low[v] = counter++;
            stack.push_back(v);
            on_stack[v] = 1;
            calls.push_back({ v, offsets[v] });
        };
        enter(int32_t(s));
        while (!calls.empty()) {
            int32_t v = calls.back().v;
            if (calls.back().edge < offsets[v + 1]) {
                int32_t w = targets[size_t(calls.back().edge++)];
                if (w == v)
                    cyclic[v] = 1;
                if (index[w] < 0)
                    enter(w);
                else if (on_stack[w])
                    low[v] = std::min(low[v], index[w]);
                continue;
            }
            calls.pop_back();
            if (!calls.empty())
                low[calls.back().v] = std::min(low[calls.back().v], low[v]);
            if (low[v] != index[v])
                continue;
            size_t first = stack.size();
            do {
                --first;
            } while (stack[first] != v);
            for (size_t i = first; i < stack.size(); ++i) {
                comp[stack[i]] = comps;
                on_stack[stack[i]] = 0;
                if (stack.size() - first > 1)
                    cyclic[stack[i]] = 1;
            }
            stack.resize(first);
            ++comps;
        }
    }
}

// The entities a definition draws through each node: its lists as far as their counts reach.
size_t block_entities(const TEntJwwBlockDef& d)
{
    return first_n(d.mLine, d.mLineN).size() + first_n(d.mEnko, d.mEnkoN).size() + first_n(d.mTen, d.mTenN).size()
        + first_n(d.mMoji, d.mMojiN).size() + first_n(d.mSunpo, d.mSunpoN).size() + first_n(d.mSolid, d.mSolidN).size();
}

void set_matrix(TEntJwwBlockTree& t, const TEntJwwBlock& b)
{
    double th = b.radKaitenKaku, sx = b.dBairitsuX, sy = b.dBairitsuY;
    t.r1 = sx * std::cos(th);
    t.r2 = -sy * std::sin(th);
    t.r3 = sx * std::sin(th);
    t.r4 = sy * std::cos(th);
}

} // namespace

void build_block_tree(const std::vector<TEntJwwBlock>& blocks, std::vector<TEntJwwBlockDef>& defs,
    std::vector<TEntJwwBlockTree>& tree, int32_t& used_defs, const JwwBlockBudget& budget)
{
    tree.clear();
    used_defs = 0;
    for (auto& d : defs) {
        d.ref_flag = false;
        d.ref_no = -1;
    }
    if (blocks.empty())
        return;

    std::unordered_map<uint32_t, int32_t> by_number;
    by_number.reserve(defs.size());
    for (size_t i = 0; i < defs.size(); ++i)
        by_number.emplace(uint32_t(defs[i].nNumber), int32_t(i));
    auto find = [&](uint32_t no) {
        auto it = by_number.find(no);
        return it == by_number.end() ? int32_t(-1) : it->second;
    };
    auto resolve = [&](TEntJwwBlockTree& t, int32_t defno) {
        t.defno = defno;
        t.name.clear();
        if (defno < 0)
            return;
        t.name = defs[size_t(defno)].strName;
        defs[size_t(defno)].ref_flag = true;
    };

    std::vector<int32_t> offsets(defs.size() + 1, 0), targets;
    std::vector<size_t> def_entities(defs.size());
    for (size_t i = 0; i < defs.size(); ++i) {
        for (const auto& b : defs[i].mBlock) {
            const int32_t d = find(uint32_t(b.nNumber));
            if (d >= 0)
                targets.push_back(d);
        }
        offsets[i + 1] = int32_t(targets.size());
        def_entities[i] = block_entities(defs[i]);
    }
    std::vector<int32_t> comp;
    std::vector<char> cyclic;
    find_cycles(offsets, targets, comp, cyclic);

    size_t entities = 0;
    auto take = [&](int32_t defno) {
        if (tree.size() >= budget.instances || entities >= budget.entities)
            return false;
        entities += defno >= 0 ? def_entities[size_t(defno)] : 0;
        return true;
    };

    tree.reserve(std::min(budget.instances, blocks.size()));
    bool full = false;
    for (const auto& b : blocks) {
        const int32_t defno = find(b.nNumber);
        if (!take(defno)) {
            full = true;
            break;
        }
        TEntJwwBlockTree& t = tree.emplace_back();
        t.att = b.att;
        t.level = 0;
        t.parent = -1;
        t.no = b.nNumber;
        t.x = b.DPKijunTen_x;
        t.y = b.DPKijunTen_y;
        set_matrix(t, b);
        resolve(t, defno);
    }

    size_t steps = 0;
    for (size_t k = 0; k < tree.size() && !full; ++k) {
        int32_t defno = tree[k].defno;
        if (defno < 0 || defs[size_t(defno)].mBlock.empty())
            continue;
        if (cyclic[size_t(defno)]) {
            // Ancestors in another component cannot lead back to this definition, so the search
            // stops there.
            bool repeated = false;
            for (int32_t p = tree[k].parent; p >= 0 && !repeated; p = tree[size_t(p)].parent) {
                int32_t pd = tree[size_t(p)].defno;
                if (pd < 0 || comp[size_t(pd)] != comp[size_t(defno)])
                    break;
                repeated = pd == defno;
                if (++steps > kJwwMaxTreeSteps)
                    full = true;
            }
            if (repeated || full)
                continue;
        }
        const TEntJwwBlockDef& D = defs[size_t(defno)];
        const TEntJwwBlockTree parent = tree[k];
        for (const auto& b : D.mBlock) {
            const int32_t child = find(b.nNumber);
            if (!take(child)) {
                full = true;
                break;
            }
            TEntJwwBlockTree m;
            set_matrix(m, b);
            TEntJwwBlockTree& t = tree.emplace_back();
            t.att = D.att;
            t.level = parent.level + 1;
            t.parent = int32_t(k);
            t.no = b.nNumber;
            double bx = b.DPKijunTen_x, by = b.DPKijunTen_y;
            t.x = parent.x + parent.r1 * bx + parent.r2 * by;
            t.y = parent.y + parent.r3 * bx + parent.r4 * by;
            t.r1 = parent.r1 * m.r1 + parent.r2 * m.r3;
            t.r2 = parent.r1 * m.r2 + parent.r2 * m.r4;
            t.r3 = parent.r3 * m.r1 + parent.r4 * m.r3;
            t.r4 = parent.r3 * m.r2 + parent.r4 * m.r4;
            resolve(t, child);
        }
    }

    for (auto& d : defs)
        if (d.ref_flag)
            d.ref_no = used_defs++;
}

std::u16string bind_image_plain_name(const std::u16string& name)
{
    size_t start = name.find_last_of(u"/\\");
    std::u16string s = start == std::u16string::npos ? name : name.substr(start + 1);
    if (s.size() >= 2 && s[1] == u':' && ((s[0] >= u'A' && s[0] <= u'Z') || (s[0] >= u'a' && s[0] <= u'z')))
        s.erase(0, 2);
    if (s == u"." || s == u"..")
        return u"";
    // A lone surrogate has no file-system spelling of its own, so the file could not be found again.
    for (size_t i = 0; i < s.size(); ++i) {
        bool high = s[i] >= 0xD800 && s[i] <= 0xDBFF;
        bool low = s[i] >= 0xDC00 && s[i] <= 0xDFFF;
        if (low || (high && (i + 1 == s.size() || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF)))
            return u"";
        if (high)
            ++i;
    }
    return s;
}

} // namespace detail
