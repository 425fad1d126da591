// TJwwData: one ".jww" drawing in memory, its reader, block tree and embedded images.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "formats/jww/JwwArchive.h"
#include "formats/jww/jwwtype.h"

namespace detail {
template <class Doc> struct JwwDocumentReading;
}

class TJwwData {
public:
    TJwwData();
    ~TJwwData();

    TEntJwwHeader Enthd;

    std::vector<TEntJwwLayerGroup> EntLgrp; // 16
    std::vector<TEntJwwLayer> EntLay; // 256, group x 16 + layer
    std::vector<TEntJwwColorNo> EntCol; // 10
    std::vector<TEntJwwLineTypeNo> EntLtp1; // 8: line types 2..9
    std::vector<TEntJwwRandomLineNo> EntLtp2; // 5: line types 11..15
    std::vector<TEntJwwLineTypeNo> EntLtp3; // 4: line types 16..19
    std::vector<TEntJwwColorExNo> EntColS; // 257: colours 101..356 at 1..256
    std::vector<TEntJwwLineTypeExNo> EntLtpS; // 33: line types 31..62 at 1..32
    std::vector<TEntJwwMojiType> EntMoj; // 10

    // File order of the drawing's entities; holds the entries actually read.
    std::vector<TEntJwwNo> EntNo;

    std::vector<TEntJwwLine> EntLine;
    int32_t EntLineN = 0;
    std::vector<TEntJwwEnko> EntEnko;
    int32_t EntEnkoN = 0;
    std::vector<TEntJwwTen> EntTen;
    int32_t EntTenN = 0;
    std::vector<TEntJwwMoji> EntMoji;
    int32_t EntMojiN = 0;
    std::vector<TEntJwwSunpo> EntSunpo;
    int32_t EntSunpoN = 0;
    std::vector<TEntJwwSolid> EntSolid;
    int32_t EntSolidN = 0;
    std::vector<TEntJwwBlock> EntBlock;
    int32_t EntBlockN = 0;
    std::vector<TEntJwwBlockDef> EntBlockDef;
    int32_t EntBlockDefN = 0;
    std::vector<TEntJwwBlockTree> EntBlockTree;
    int32_t EntBlockTreeN = 0;

    int32_t EntBlockNum = 0;

    // Settings of the driver; DataInit keeps them. An empty folder writes and deletes nothing.
    std::u16string BindImageFolder;
    std::vector<TBindImageType> BindImage;
    int32_t BindImageN = 0;
    bool BindImageExp = false;
    bool BindImageExr = false;

    int32_t FileOutOpt = 0;
    int32_t FontNameN = 0;
    std::vector<std::u16string> FontNames;
    bool MojiEncode = false;

    void DataInit();
    void DataFree();
    bool FileCheck(const std::u16string& FName);
    bool FileIn(const std::u16string& FName);
    bool FileHeaderIn(const std::u16string& FName);
    void MakeBlockTree();

    void BindImageInit();
    void BindImageExplode();
    void BindImageDeleteGzFile();
    void BindImageDeleteNonGzFile();

    // The text behind a string field of a record (strFontName, str).
    const std::u16string& text(detail::JwwStr s) const { return text_pool.get(s); }
    // Stores a text for a record built in memory.
    detail::JwwStr add_text(std::u16string s) { return text_pool.add(std::move(s)); }
    // The file an image reference names: "%temp%" (exactly so) stands for BindImageFolder, and the name
    // after it is reduced to a plain file name as when it was extracted; other names stay as written.
    std::u16string bind_image_path(const std::u16string& name) const;

    // ---- Layers, extents and drawing (JwwDraw.cpp, JwwExtents.cpp).
    void SetGAttLayer();
    void GetMinMaxZahyo();
    void GetPaperSize(double& px, double& py) const;
    void GLDrawALL();
    int GLDrawImage(bool dispmode, uint32_t dcol, const TEntJwwMoji& e);
    int GLDrawSolid(bool dispmode, uint32_t dcol, const TEntJwwSolid& e);
    int GLDrawLine(bool dispmode, uint32_t dcol, const TEntJwwLine& e);
    int GLDrawEnko(bool dispmode, uint32_t dcol, const TEntJwwEnko& e);
    int GLDrawTen(bool dispmode, uint32_t dcol, const TEntJwwTen& e);
    int GLDrawMoji(bool dispmode, uint32_t dcol, const TEntJwwMoji& e);
    int GLDrawSunpo(bool dispmode, bool hojof, uint32_t dcol, const TEntJwwSunpo& e);
    int GLDrawImage2(bool dispmode, uint32_t dcol, const TEntJwwMoji& e, bool lf, double sc, double bx, double by,
        double b1, double b2, double b3, double b4);
    int GLDrawSolid2(bool dispmode, uint32_t dcol, const TEntJwwSolid& e, bool lf, double sc, double bx, double by,
        double b1, double b2, double b3, double b4);
    int GLDrawLine2(bool dispmode, uint32_t dcol, const TEntJwwLine& e, bool lf, double sc, double bx, double by,
        double b1, double b2, double b3, double b4);
    int GLDrawEnko2(bool dispmode, uint32_t dcol, const TEntJwwEnko& e, bool lf, double sc, double bx, double by,
        double b1, double b2, double b3, double b4);
    int GLDrawTen2(bool dispmode, uint32_t dcol, const TEntJwwTen& e, bool lf, double sc, double bx, double by,
        double b1, double b2, double b3, double b4);
    int GLDrawMoji2(bool dispmode, uint32_t dcol, const TEntJwwMoji& e, bool lf, double sc, double bx, double by,
        double b1, double b2, double b3, double b4);
    int GLDrawSunpo2(bool dispmode, bool hojof, uint32_t dcol, const TEntJwwSunpo& e, bool lf, double sc, double bx,
        double by, double b1, double b2, double b3, double b4);
    int GLDrawMoji3(bool dispmode, uint32_t dcol, const std::u16string& sm, const TEntJwwMoji& e, bool lf, double sc,
        double bx, double by, double b1, double b2, double b3, double b4);
    const detail::JwwStringPool& strings() const { return text_pool; }
    // ---- end of layers, extents and drawing.

private:
    friend struct detail::JwwDocumentReading<TJwwData>;
    // Drawings keep no control characters in their strings.
    static constexpr bool keeps_controls = false;

    detail::JwwStringPool text_pool;

    bool ReadHeader(detail::JwwArchive& ar);
    std::u16string ReadCountedString(detail::JwwArchive& ar);
    std::u16string ReadCleanString(detail::JwwArchive& ar);
    void ReadEntAttr(detail::JwwArchive& ar, TEntJwwAttr& att);
    static void CopyEntAttr(const TEntJwwAttr& source, TEntJwwAttr& target);
    void publish_text_globals(const std::u16string& FName) const;
    // The stored-image table of a version-700 file, when the image flags ask for it.
    void read_after_definitions(detail::JwwArchive& ar);
};

namespace detail {

// Text-variable globals from a loaded header: path, drawing time, memo lines, title, print scale.
void publish_jww_text_globals(const std::u16string& path, const TEntJwwHeader& hd);

// Reads the stored-image table of a drawing (count, then name, size and data per entry) into table;
// with write set, each entry's data goes to folder + its plain name. Throws JwwIoError when the file
// ends before every announced entry was read.
void read_bind_image_table(
    JwwArchive& ar, bool& moji_encode, const std::u16string& folder, bool write, std::vector<TBindImageType>& table);

// True for a name ending in ".gz" in any letter case.
bool is_gz_name(const std::u16string& name);

// Deletes the extracted files of an image table from folder: the stored ".gz" files, or the inflated
// files beside them (the other names as stored). Both documents with image tables share this.
void delete_bind_images(
    const std::u16string& folder, const std::vector<TBindImageType>& table, int32_t n, bool gz_files);

// The expanded block tree of a document; an allocation failure leaves an empty tree.
void make_block_tree(const std::vector<TEntJwwBlock>& blocks, std::vector<TEntJwwBlockDef>& defs,
    std::vector<TEntJwwBlockTree>& tree, int32_t& used_defs, int32_t& tree_n);

// Largest file BindImageExplode writes.
inline constexpr uint64_t kJwwMaxInflatedBytes = uint64_t(512) << 20;

enum class JwwInflate { done, failed, too_large };
// Inflates the first gzip member of source into target (created anew, never through a link). A broken
// stream leaves what was inflated so far; an output beyond budget bytes is deleted.
JwwInflate inflate_gzip_file(const std::u16string& source, const std::u16string& target, uint64_t budget);

} // namespace detail
