// Records of a ".jww" drawing: packed entity records in their file layout, header, tables and block tree.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Entity kinds as the order lists and the class tags name them.
enum : int32_t {
    kJwwLine = 1,
    kJwwEnko = 2,
    kJwwTen = 3,
    kJwwMoji = 4,
    kJwwSunpo = 5,
    kJwwSolid = 6,
    kJwwBlock = 7,
};

// Packed records are read whole from the file; never bind a reference or pointer to one of their fields
// (copy the value, for instance with unary + in a test macro).
#pragma pack(push, 1)

namespace detail {
// A text of a packed record: an index into its document's string pool (TJwwData::text). 0 is the empty
// text, so a zeroed record is a valid one. Four bytes keep the records in their historic sizes.
struct JwwStr {
    uint32_t index = 0;
};
} // namespace detail

struct TEntJwwAttr {
    uint32_t lGroup = 0;
    uint8_t nPenStyle = 0;
    uint16_t nPenColor = 0;
    uint16_t nPenWidth = 0; // absent before version 351
    uint16_t nLayer = 0;
    uint16_t nGLayer = 0;
    uint16_t sFlg = 0; // 0x20 on a text: vertical writing
};

struct TEntJwwLine {
    TEntJwwAttr att;
    double start_x = 0, start_y = 0, end_x = 0, end_y = 0;
};

// Circle, ellipse or arc; start_x/start_y is the centre.
struct TEntJwwEnko {
    TEntJwwAttr att;
    double start_x = 0, start_y = 0;
    double dHankei = 0;
    double radKaishiKaku = 0;
    double radEnkoKaku = 0;
    double radKatamukiKaku = 0;
    double dHenpeiRitsu = 0;
    uint32_t bZenEnFlg = 0;
};

// Point; nCode, radKaitenKaku and dBairitsu are stored only when att.nPenStyle is 100.
struct TEntJwwTen {
    TEntJwwAttr att;
    double start_x = 0, start_y = 0;
    uint32_t bKariten = 0;
    uint32_t nCode = 0;
    double radKaitenKaku = 0;
    double dBairitsu = 0;
};

struct TEntJwwMoji {
    TEntJwwAttr att;
    double start_x = 0, start_y = 0, end_x = 0, end_y = 0;
    uint32_t nMojiShu = 0; // style + 10000 italic, + 20000 bold, + 30000 both
    double dSizeX = 0, dSizeY = 0, dKankaku = 0;
    double degKakudo = 0;
    detail::JwwStr strFontName;
    detail::JwwStr str;
};

struct TEntJwwSunpo {
    TEntJwwAttr att;
    TEntJwwLine Sen;
    TEntJwwMoji Moji;
    uint16_t bSxfMode = 0;
    TEntJwwLine Ho1, Ho2;
    TEntJwwTen Te1, Te2;
    TEntJwwTen Kt1, Kt2;
};

// With att.nPenStyle > 100 the eight doubles are centre x, centre y, radius, flattening, tilt,
// start angle, swept angle and fill parameter of a circular solid.
struct TEntJwwSolid {
    TEntJwwAttr att;
    double start_x = 0, start_y = 0, end_x = 0, end_y = 0;
    double DPoint2_x = 0, DPoint2_y = 0, DPoint3_x = 0, DPoint3_y = 0;
    uint32_t Color = 0; // 0x00BBGGRR, stored only when att.nPenColor is 10
};

struct TEntJwwBlock {
    TEntJwwAttr att;
    double DPKijunTen_x = 0, DPKijunTen_y = 0;
    double dBairitsuX = 0, dBairitsuY = 0;
    double radKaitenKaku = 0;
    uint32_t nNumber = 0;
};

struct TEntJwwNo {
    int32_t EntType = 0;
    int32_t EntNo = 0;
};

namespace detail {
// The fixed part of a block definition as the file stores it.
struct JwwBlockDefHead {
    TEntJwwAttr att;
    uint32_t nNumber = 0;
    uint32_t bRefferd = 0;
    uint32_t dtime = 0;
};
} // namespace detail

#pragma pack(pop)

static_assert(sizeof(detail::JwwStr) == 4);
static_assert(sizeof(TEntJwwAttr) == 15);
static_assert(sizeof(TEntJwwLine) == 47);
static_assert(sizeof(TEntJwwEnko) == 75);
static_assert(sizeof(TEntJwwTen) == 55);
static_assert(sizeof(TEntJwwMoji) == 91);
static_assert(sizeof(TEntJwwSunpo) == 469);
static_assert(sizeof(TEntJwwSolid) == 83);
static_assert(sizeof(TEntJwwBlock) == 59);
static_assert(sizeof(TEntJwwNo) == 8);
static_assert(sizeof(detail::JwwBlockDefHead) == 27);

class TEntJwwBlockDef : public detail::JwwBlockDefHead {
public:
    std::u16string strName;
    int32_t N = 0; // length of mNo
    std::vector<TEntJwwNo> mNo;
    int32_t mLineN = 0, mEnkoN = 0, mTenN = 0, mMojiN = 0, mSunpoN = 0, mSolidN = 0, mBlockN = 0;
    std::vector<TEntJwwLine> mLine;
    std::vector<TEntJwwEnko> mEnko;
    std::vector<TEntJwwTen> mTen;
    std::vector<TEntJwwMoji> mMoji;
    std::vector<TEntJwwSunpo> mSunpo;
    std::vector<TEntJwwSolid> mSolid;
    std::vector<TEntJwwBlock> mBlock;
    bool ref_flag = false;
    int32_t ref_no = -1;
};

// One expanded block instance: world = (x + r1 u + r2 v, y + r3 u + r4 v) for definition coordinates (u, v).
struct TEntJwwBlockTree {
    TEntJwwAttr att;
    int32_t level = 0;
    int32_t parent = -1;
    uint32_t no = 0;
    int32_t defno = -1;
    std::u16string name;
    double x = 0, y = 0;
    double r1 = 1, r2 = 0, r3 = 0, r4 = 1;
};

struct TBindImageType {
    std::u16string Fname;
    int32_t Fsize = 0;
    bool exf = false;
};

struct TEntJwwLayerGroup {
    int32_t anGLay = 0; // 0 hidden, 1 greyed, other shown
    int32_t anWriteLay = 0;
    double adScale = 0;
    int32_t anGLayProtect = 0;
    std::u16string aStrGLayName;
};

struct TEntJwwLayer {
    int32_t aanLay = 0;
    int32_t aanLayProtect = 0;
    std::u16string aStrLayName;
};

struct TEntJwwColorNo {
    int32_t aPenColor = 0;
    int32_t anPenWidth = 0;
    int32_t aPrtPenColor = 0;
    int32_t anPrtPenWidth = 0;
    double adPrtTenHankei = 0;
};

struct TEntJwwLineTypeNo {
    int32_t alLType = 0; // on/off bits, most significant first
    int32_t anTokushuSenUintDot = 0;
    int32_t anTokushuSenPich = 0;
    int32_t anPrtTokushuSenPich = 0;
};

struct TEntJwwRandomLineNo {
    int32_t alLType = 0;
    int32_t anRandSenWide = 0;
    int32_t anTokushuSenPich = 0;
    int32_t anPrtRandSenWide = 0;
    int32_t anPrtTokushuSenPich = 0;
};

struct TEntJwwColorExNo {
    int32_t aPenColor = 0;
    int32_t anPenWidth = 0;
    std::u16string astrUDColorName;
    int32_t aPrtPenColor = 0;
    int32_t anPrtPenWidth = 0;
    double adPrtTenHankei = 0;
};

// aadUDLTypePitch is indexed 1..10 as the format counts; slot 0 is unused.
struct TEntJwwLineTypeExNo {
    int32_t alLType = 0;
    int32_t anTokushuSenUintDot = 0;
    int32_t anTokushuSenPich = 0;
    int32_t anPrtTokushuSenPich = 0;
    std::u16string astrUDLTypeName;
    int32_t anUDLTypeSegment = 0;
    std::array<double, 11> aadUDLTypePitch {};
};

struct TEntJwwMojiType {
    double adMojiX = 0;
    double adMojiY = 0;
    double adMojiD = 0;
    int32_t anMojiCol = 0;
};

// The zoom-jump arrays are indexed 1..8 as the format counts; slot 0 is unused.
struct TEntJwwHeader {
    std::u16string jwID;
    int32_t jwVer = 0;
    std::u16string strMemo;

    int32_t nZumen = 0;
    int32_t nWriteGLay = 0;
    int32_t lnSunpou1 = 0, lnSunpou2 = 0, lnSunpou3 = 0, lnSunpou4 = 0, lnSunpou5 = 0;
    int32_t nMaxDrawWid = 0;
    bool bSenHaba100 = false;
    int32_t nMaxDrawWidBak = 0;

    double DPPrtGenten_x = 0, DPPrtGenten_y = 0;
    double dPrtBairitsu = 1;
    int32_t nPrtSet = 0, nColorPrint = 0, nLayJunPrint = 0, nColJunPrint = 0, nPrtRenzoku = 0;
    int32_t nPrtKyoutsuuGray = 0, nPrtDispOnlyNonDraw = 0, nPrtDpi = 0;

    int32_t nMemoriMode = 0;
    double dMemoriHyoujiMin = 1, dMemoriX = 1, dMemoriY = 1;
    double DpMemoriKjTen_x = 0, DpMemoriKjTen_y = 0;

    double dKageLevel = 0, dKageIdo = 0;
    int32_t nKage9_15JiFlg = 0;
    double dKabeKageLevel = 0, dTenkuuZuLevel = 0, dTenkuuZuEnkoR = 0;
    int32_t nMMTani3D = 0;

    double dBairitsu = 1, DPGenten_x = 0, DPGenten_y = 0;
    double dHanniBairitsu = 1, DPHanniGenten_x = 0, DPHanniGenten_y = 0;
    std::array<double, 9> dZoomJumpBairitsu { 1, 1, 1, 1, 1, 1, 1, 1, 1 };
    std::array<double, 9> DPZoomJumpGenten_x {};
    std::array<double, 9> DPZoomJumpGenten_y {};
    std::array<int32_t, 9> nZoomJumpGLay { -1, -1, -1, -1, -1, -1, -1, -1, -1 };

    double dDm11 = 0, dDm12 = 0, dDm13 = 0;
    int32_t lnDm1 = 0;
    double dDm21 = 0, dDm22 = 0, dMojiBG = 0;
    int32_t nMojiBG = 0;

    std::array<double, 10> adFukusenSuuchi {};
    double dRyougawaFukusenTomeDe = 0;

    int32_t nDrawGamenTen = 0, nDrawPrtTen = 0, nBitMapFirstDraw = 0, nGyakuDraw = 0, nGyakuSearch = 0;

    int32_t lnDrawTime = 0; // seconds
    int32_t nEyeInit = 0;
    int32_t dEye_H_Ichi_1 = 0, dEye_H_Ichi_2 = 0, dEye_H_Ichi_3 = 0;
    double dEye_Z_Ichi_1 = 0, dEye_Y_Ichi_1 = 0, dEye_Z_Ichi_2 = 0, dEye_Y_Ichi_2 = 0, dEye_V_Ichi_3 = 0;

    double dSenNagasaSnpou = 0, dBoxSunpouX = 0, dBoxSunpouY = 0, dEnHankeiSnpou = 0;
    int32_t nSolidNinniColor = 0, SolidColor = 0;

    double dMojiSizeX = 0, dMojiSizeY = 0, dMojiKankaku = 0;
    int32_t nMojiColor = 0, nMojiShu = 0;
    double dMojiSeiriGyouKan = 0, dMojiSeiriSuu = 0;
    int32_t nMojiKijunZureOn = 0;
    double adMojiKijunZureX0 = 0, adMojiKijunZureX1 = 0, adMojiKijunZureX2 = 0;
    double adMojiKijunZureY0 = 0, adMojiKijunZureY1 = 0, adMojiKijunZureY2 = 0;

    int32_t n1 = 0; // entities announced by the file
    int32_t n2 = 0; // block definitions announced
};
