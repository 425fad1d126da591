// Reading shared by the ".jww" drawing and the ".jws" symbol: the whole-file steps, the body, list resets.
#pragma once
#include <cstdint>
#include <exception>
#include <new>
#include <string>

#include "formats/jww/JwwArchive.h"

namespace detail {

// Entity counts of a drawing or symbol from the lists actually read.
template <class Doc> void settle_entity_counts(Doc& d)
{
    d.EntLineN = int32_t(d.EntLine.size());
    d.EntEnkoN = int32_t(d.EntEnko.size());
    d.EntTenN = int32_t(d.EntTen.size());
    d.EntMojiN = int32_t(d.EntMoji.size());
    d.EntSunpoN = int32_t(d.EntSunpo.size());
    d.EntSolidN = int32_t(d.EntSolid.size());
    d.EntBlockN = int32_t(d.EntBlock.size());
    d.EntBlockDefN = int32_t(d.EntBlockDef.size());
}

// Empties the entity lists a drawing and a symbol share, giving their memory back.
template <class Doc> void release_entity_lists(Doc& d)
{
    release(d.EntLgrp);
    release(d.EntMoj);
    release(d.EntNo);
    release(d.EntLine);
    release(d.EntEnko);
    release(d.EntTen);
    release(d.EntMoji);
    release(d.EntSunpo);
    release(d.EntSolid);
    release(d.EntBlock);
    release(d.EntBlockDef);
    release(d.EntBlockTree);
    d.EntLineN = d.EntEnkoN = d.EntTenN = d.EntMojiN = d.EntSunpoN = d.EntSolidN = d.EntBlockN = 0;
    d.EntBlockDefN = d.EntBlockTreeN = 0;
    d.EntBlockNum = 0;
    d.FileOutOpt = 0;
    d.FontNameN = 0;
    release(d.FontNames);
    d.MojiEncode = false;
}

// The reading both documents share, over each one's ReadHeader, publish_text_globals, keeps_controls and
// read_after_definitions.
template <class Doc> struct JwwDocumentReading {
    // FileIn: header, text globals, body; the block tree is built whatever the body's fate, but not after a
    // failed header.
    static bool file_in(Doc& d, const std::u16string& FName)
    {
        d.DataInit();
        JwwFileBytes bytes;
        if (!read_file_bytes(FName, bytes)) {
            d.MakeBlockTree();
            return false;
        }
        JwwArchive ar(bytes.span());
        if (!d.ReadHeader(ar))
            return false;
        d.publish_text_globals(FName);
        bool ok = true;
        try {
            body(d, ar);
        } catch (const std::bad_alloc&) {
            // Not a fault of the file: the run ends as out of memory.
            throw;
        } catch (const std::exception&) {
            ok = false;
        }
        settle_entity_counts(d);
        d.MakeBlockTree();
        return ok;
    }

    // The entity list and the block definitions after the header, then what the document reads after them.
    static void body(Doc& d, JwwArchive& ar)
    {
        if (ar.at_end())
            throw JwwIoError(kJwwIoMessage);
        const uint32_t n = read_object_count(ar);
        d.Enthd.n1 = clamp_count(n);
        d.Enthd.n2 = 0;
        d.EntBlockDefN = 0;
        JwwReadContext ctx { ar, d.Enthd.jwVer, d.text_pool, d.MojiEncode };
        ctx.keep_controls = Doc::keeps_controls;
        const JwwEntitySink sink { &d.EntLine, &d.EntEnko, &d.EntTen, &d.EntMoji, &d.EntSunpo, &d.EntSolid, &d.EntBlock,
            &d.EntNo };
        read_object_list(ctx, n, sink);
        const uint32_t nd = read_object_count(ar);
        if (nd > 0) {
            d.Enthd.n2 = clamp_count(nd);
            read_block_definitions(ctx, nd, d.EntBlockDef);
        }
        d.read_after_definitions(ar);
    }
};

} // namespace detail
