// The table of document types, the one place where a type is decided.
#include "app/DocumentType.h"

#include <type_traits>

#include "app/Unit1.h"
#include "formats/jwc/JwcUnit.h"
#include "formats/jwc/JwkUnit.h"
#include "formats/jww/JwsUnit.h"
#include "formats/jww/JwwUnit.h"
#include "formats/m7/M7Unit.h"
#include "platform/TextFile.h"
#include "util/Func_2.h"

namespace {

template <class Doc> bool check_file(const std::u16string& fn)
{
    Doc d;
    if constexpr (std::is_same_v<Doc, TM7Data>)
        return d.FileCheck(platform::fs_path(fn));
    else
        return d.FileCheck(fn);
}

const DocumentType kTypes[] = {
    { 1, u".m7", &TForm1::proc1, FitRule::PaperAtOrigin, true, [](const TForm1& f) { return f.M7->EntN > 0; },
        [](TForm1& f) { f.M7->GLDrawALL(); }, &check_file<TM7Data>, "m7" },
    { 2, u".jww", &TForm1::proc2, FitRule::PaperCentred, false, [](const TForm1& f) { return f.JWW1->Enthd.n1 > 0; },
        [](TForm1& f) { f.JWW1->GLDrawALL(); }, &check_file<TJwwData>, "jww" },
    { 3, u".jws", &TForm1::proc3, FitRule::Extents, false, [](const TForm1& f) { return f.JWS->Enthd.n1 > 0; },
        [](TForm1& f) { f.JWS->GLDrawALL(); }, &check_file<TJwsData>, "jws" },
    { 4, u".jwc", &TForm1::proc4, FitRule::PaperAtOrigin, false, [](const TForm1&) { return true; },
        [](TForm1& f) { f.JWC->GLDrawALL(); }, &check_file<TJwcData>, "jwc" },
    { 5, u".jwk", &TForm1::proc5, FitRule::Extents, false, [](const TForm1&) { return true; },
        [](TForm1& f) { f.JWK->GLDrawALL(); }, &check_file<TJwkData>, "jwk" },
};

// The extension with its dot, from the last "." after the last separator; empty when there is none.
std::u16string extension_of(const std::u16string& path)
{
    const size_t slash = path.find_last_of(u"/\\");
    const size_t dot = path.find_last_of(u'.');
    if (dot == std::u16string::npos || (slash != std::u16string::npos && dot < slash))
        return u"";
    return path.substr(dot);
}

} // namespace

const DocumentType* document_type(std::u16string_view ext)
{
    for (const DocumentType& d : kTypes)
        if (d.ext == ext)
            return &d;
    return nullptr;
}

const DocumentType* document_type_of_path(const std::u16string& path)
{
    return document_type(LowerText(extension_of(path)));
}

const DocumentType* document_type_of_content(const std::u16string& path)
{
    for (const DocumentType& d : kTypes)
        if (d.check(path))
            return &d;
    return nullptr;
}

const DocumentType* document_type(int t)
{
    for (const DocumentType& d : kTypes)
        if (d.t == t)
            return &d;
    return nullptr;
}

std::string document_extensions()
{
    std::string s;
    for (const DocumentType& d : kTypes) {
        if (!s.empty())
            s += ' ';
        for (char16_t c : d.ext)
            s += char(c);
    }
    return s;
}
