// The table of document types, the one place where a type is decided.
#include "app/DocumentType.h"

#include "app/Unit1.h"
#include "formats/jwc/JwcUnit.h"
#include "formats/jwc/JwkUnit.h"
#include "formats/jww/JwsUnit.h"
#include "formats/jww/JwwUnit.h"
#include "formats/m7/M7Unit.h"

namespace {

const DocumentType kTypes[] = {
    { 1, u".m7", &TForm1::proc1, FitRule::PaperAtOrigin, true, [](const TForm1& f) { return f.M7->EntN > 0; },
        [](TForm1& f) { f.M7->GLDrawALL(); } },
    { 2, u".jww", &TForm1::proc2, FitRule::PaperCentred, false, [](const TForm1& f) { return f.JWW1->Enthd.n1 > 0; },
        [](TForm1& f) { f.JWW1->GLDrawALL(); } },
    { 3, u".jws", &TForm1::proc3, FitRule::Extents, false, [](const TForm1& f) { return f.JWS->Enthd.n1 > 0; },
        [](TForm1& f) { f.JWS->GLDrawALL(); } },
    { 4, u".jwc", &TForm1::proc4, FitRule::PaperAtOrigin, false, [](const TForm1&) { return true; },
        [](TForm1& f) { f.JWC->GLDrawALL(); } },
    { 5, u".jwk", &TForm1::proc5, FitRule::Extents, false, [](const TForm1&) { return true; },
        [](TForm1& f) { f.JWK->GLDrawALL(); } },
};

} // namespace

const DocumentType* document_type(std::u16string_view ext)
{
    for (const DocumentType& d : kTypes)
        if (d.ext == ext)
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
