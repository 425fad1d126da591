// The five document types in one table: extension, type number, loading step, view fit and drawing.
#pragma once
#include <string>
#include <string_view>

class TForm1;

// What the view is fitted to, and where the paper frame goes.
enum class FitRule {
    PaperAtOrigin, // the paper from (0, 0) to (papx, papy), framed
    PaperCentred, // the paper centred on the origin, framed
    Extents, // the drawing's extents, unframed; sized in pixels whatever the resolution says
};

struct DocumentType {
    int t; // the type number the driver's operations take
    std::u16string_view ext; // lower case, with its dot
    bool (TForm1::*load)(const std::u16string& fn);
    FitRule fit;
    bool m7; // drawn through TGraph rather than TGraph2
    bool (*has_content)(const TForm1& f); // false: nothing is drawn, not even the background
    void (*draw_all)(TForm1& f); // the document's GLDrawALL
    bool (*check)(const std::u16string& fn); // the document's FileCheck, on a document of its own
    std::string_view name; // the format's short name: the extension without its dot
};

// The type of a lower-case extension; null for an extension no reader takes.
const DocumentType* document_type(std::u16string_view ext);
// The type a path's extension names, in any letter case; null when no reader takes it.
const DocumentType* document_type_of_path(const std::u16string& path);
// The type whose format check the file passes; null when none does (for content without a name).
const DocumentType* document_type_of_content(const std::u16string& path);
// The type of a type number; null outside 1..5.
const DocumentType* document_type(int t);
// The extensions of all types, for messages: ".m7 .jww .jws .jwc .jwk".
std::string document_extensions();
