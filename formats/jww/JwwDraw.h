// Drawing, layer states and extents of JWW records, shared by the ".jww" and ".jws" documents.
#pragma once
#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "formats/jww/JwwArchive.h"
#include "formats/jww/jwwtype.h"
#include "util/Types.h"

namespace detail {

// A block-tree node's transform T(x, y) = ((bx + b1 x + b2 y) / sc, (by + b3 x + b4 y) / sc). lf makes a
// text inside the node take its own layer-group scale, and forces sc to 1.
struct JwwTrans {
    double bx = 0, by = 0, b1 = 1, b2 = 0, b3 = 0, b4 = 1, sc = 1;
    bool lf = false;
};
JwwTrans node_trans(const TEntJwwBlockTree& node);
// The transform the GLDraw...2 operations receive as arguments.
inline JwwTrans block_trans(bool lf, double sc, double bx, double by, double b1, double b2, double b3, double b4)
{
    return { bx, by, b1, b2, b3, b4, sc, lf };
}

// The lists one document draws, each cut to its count.
struct JwwEntities {
    std::span<const TEntJwwLine> line;
    std::span<const TEntJwwEnko> enko;
    std::span<const TEntJwwTen> ten;
    std::span<const TEntJwwMoji> moji;
    std::span<const TEntJwwSunpo> sunpo;
    std::span<const TEntJwwSolid> solid;
    std::span<const TEntJwwBlock> block;
    std::span<const TEntJwwBlockDef> defs;
    std::span<const TEntJwwBlockTree> tree;
};

template <class Doc> JwwEntities jww_entities(const Doc& d)
{
    return { first_n(d.EntLine, d.EntLineN), first_n(d.EntEnko, d.EntEnkoN), first_n(d.EntTen, d.EntTenN),
        first_n(d.EntMoji, d.EntMojiN), first_n(d.EntSunpo, d.EntSunpoN), first_n(d.EntSolid, d.EntSolidN),
        first_n(d.EntBlock, d.EntBlockN), first_n(d.EntBlockDef, d.EntBlockDefN),
        first_n(d.EntBlockTree, d.EntBlockTreeN) };
}

// A definition's own lists (its nested inserts are drawn through their tree nodes).
JwwEntities definition_entities(const TEntJwwBlockDef& def);

// ---- Rules of the drawing, as plain functions.

inline int layer_of(const TEntJwwAttr& a) { return int(a.nGLayer) * 16 + int(a.nLayer); }
// Lines and arcs of the auxiliary line type or colour.
inline bool is_aux_stroke(const TEntJwwAttr& a) { return a.nPenStyle == 9 || a.nPenColor == 9; }
// Solids, points and texts of the auxiliary colour.
inline bool is_aux_color(const TEntJwwAttr& a) { return a.nPenColor == 9; }
// A text that places an image: "^@BM" and a comma.
bool is_image_moji(const std::u16string& s);
// The attribute-table state (1 normal, 2 greyed, 3 hidden) of a layer from its group's and its own state.
int32_t jww_layer_state(int32_t group_state, int32_t layer_state);
// A layer-group scale fit to divide by: a zero or non-finite scale is taken as 1.
double usable_group_scale(double adScale);
// Ftyp of a text style number: 3 bold italic, 1 bold, 2 italic, 0 plain.
int moji_font_type(uint32_t nMojiShu);
// Line width: the entity's own in 1/100 units, else that of its pen colour.
double entity_pen_width(const TEntJwwAttr& a);

// Everything GLAText3 receives for one text.
struct JwwTextPlacement {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double h = 0, w = 0, sp = 0;
    int Ftyp = 0;
    std::u16string font;
};
// A text of the drawing.
JwwTextPlacement moji_placement(const TEntJwwMoji& e, const std::u16string& font);
// A text of a block definition through t (sc as given; callers apply lf first).
JwwTextPlacement moji_placement_block(const TEntJwwMoji& e, const std::u16string& font, const JwwTrans& t);
// A regenerated dimension value sm through t, re-centred on its printed width.
JwwTextPlacement moji_placement_fit(
    const TEntJwwMoji& e, const std::u16string& font, const std::u16string& sm, const JwwTrans& t);

// Where an image reference of a block definition lands: the frame corners and the angle in degrees.
struct JwwImagePlacement {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, dan = 0;
};
JwwImagePlacement image_placement_block(const TEntJwwMoji& e, double W, double H, double dan, const JwwTrans& t);

// The file an image reference names: "%temp%" (exactly so) stands for folder, the rest reduced to a plain
// file name; other names stay as written. Empty when nothing can be drawn.
std::u16string jww_image_path(const std::u16string& folder, const std::u16string& name);

// ---- Drawing through gGraph2 and gGraAtt; every operation returns a result code of the renderer
// (detail::DrawResult) and draws nothing without a renderer.
class JwwPainter {
public:
    JwwPainter(
        const JwwStringPool& strings, std::span<const TEntJwwLayerGroup> groups, const std::u16string& image_folder)
        : strings_(strings)
        , groups_(groups)
        , folder_(image_folder)
    {
    }

    // adScale of a layer group, usable to divide by; 1 for a group the document does not have.
    double group_scale(uint32_t g) const;

    int image(bool dispmode, uint32_t dcol, const TEntJwwMoji& e) const;
    int solid(bool dispmode, uint32_t dcol, const TEntJwwSolid& e) const;
    int line(bool dispmode, uint32_t dcol, const TEntJwwLine& e) const;
    int enko(bool dispmode, uint32_t dcol, const TEntJwwEnko& e) const;
    int ten(bool dispmode, uint32_t dcol, const TEntJwwTen& e) const;
    int moji(bool dispmode, uint32_t dcol, const TEntJwwMoji& e) const;
    int sunpo(bool dispmode, bool hojof, uint32_t dcol, const TEntJwwSunpo& e) const;

    int image2(bool dispmode, uint32_t dcol, const TEntJwwMoji& e, JwwTrans t) const;
    int solid2(bool dispmode, uint32_t dcol, const TEntJwwSolid& e, JwwTrans t) const;
    int line2(bool dispmode, uint32_t dcol, const TEntJwwLine& e, JwwTrans t) const;
    int enko2(bool dispmode, uint32_t dcol, const TEntJwwEnko& e, JwwTrans t) const;
    int ten2(bool dispmode, uint32_t dcol, const TEntJwwTen& e, JwwTrans t) const;
    int moji2(bool dispmode, uint32_t dcol, const TEntJwwMoji& e, JwwTrans t) const;
    int sunpo2(bool dispmode, bool hojof, uint32_t dcol, const TEntJwwSunpo& e, JwwTrans t) const;
    int moji3(bool dispmode, uint32_t dcol, const std::u16string& sm, const TEntJwwMoji& e, JwwTrans t) const;

    // Everything: the drawing's lists, then every tree node's definition.
    void draw_all(const JwwEntities& ents) const;

private:
    // The seven lists of the drawing (t null) or of a definition through a node's transform t, in drawing
    // order, without hidden and (when hide) auxiliary entities.
    void draw_lists(const JwwEntities& ents, const JwwTrans* t, bool dispmode, bool hide) const;

    const JwwStringPool& strings_;
    std::span<const TEntJwwLayerGroup> groups_;
    const std::u16string& folder_;
};

// The painter of a drawing or symbol: its strings, layer groups and image folder.
template <class Doc> JwwPainter jww_painter(const Doc& d) { return { d.strings(), d.EntLgrp, d.BindImageFolder }; }

// ---- Layer states into gGraAtt: the ".jww" rule of group and layer states with names, or every layer
// shown (layers empty, as for ".jws"). Scales are the reciprocals of the group scales.
void jww_set_layers(std::span<const TEntJwwLayerGroup> groups, std::span<const TEntJwwLayer> layers, bool all_shown);

// ---- Extents into gMinX .. gMaxY. start: the base point to begin at; without it the first entity's
// point, as the drawing's rule chooses.
void jww_extents(const JwwEntities& ents, const JwwStringPool& strings, std::optional<TDPoint> start);

} // namespace detail
