// GraUnit: TGraph, the renderer M7 drawings draw through: pens, colours and dash patterns given by the caller.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "graphics/GraPoints.h"
#include "platform/Canvas.h"
#include "util/Types.h"

// A near-twin of TGraph2 on the same canvas, view and point lists. The shared drawing lives in
// graphics/GraCore.h and friends; TGraph adds the explicit dash pattern that carries on from stroke to stroke,
// Bezier chains, the M7 symbols and the hatch, gradient and picture fills (GraSymbol.cpp).
// Integer results: 0 drawn, 1 outside the view, 2 too small (at most a dot), 3 nothing to draw.
class TGraph {
public:
    static constexpr int max_pattern = 12;

    explicit TGraph(platform::Canvas* Ca);
    ~TGraph();
    TGraph(const TGraph&) = delete;
    TGraph& operator=(const TGraph&) = delete;

    platform::Canvas* C; // not owned
    // Dash pattern in drawing units: dashes at even positions (positive), gaps at odd ones (negative).
    double LtypPat[max_pattern] = {};
    int LtypPatN = 0; // entries in use; 0 is solid
    double LtypPatP = 0; // period: sum of the absolute entries in use
    // Where the last patterned stroke ended; carries on until GLSetDT.
    int LastSeg = 0;
    double LastLen = 0;
    platform::StrokeStyle br0; // one-pixel solid stroke for dots

    // ---- Device layer (pixels).
    void GCls(uint32_t col);
    void GPenSet(uint32_t col, uint32_t typ, uint32_t wid);
    void GTen(double x, double y);
    void GLine(double x1, double y1, double x2, double y2);
    void GBox(double x1, double y1, double x2, double y2);
    void GRBox(double x1, double y1, double x2, double y2, double rx, double ry);
    void GCircle(double x, double y, double r);
    void GEllipse(double x1, double y1, double x2, double y2);
    void GArc(double x, double y, double r, double sa, double da);
    void GEllipseArc(double x, double y, double rx, double ry, double sa, double da);
    void GPolyline();
    void GPolygon();
    void GSolid();

    // ---- World transform, pens and the dash pattern.
    void GLTransPt(double x1, double y1, double& x2, double& y2) const;
    void GPenSetColor(uint32_t col);
    void GPenSetWidth(uint32_t wid);
    // Reads at most sg entries of pa, and never past its end.
    void GLPenSetLtypePat(int sg, std::span<const double> pa);
    void GLSetDT();
    void GLPassLtypPat(double l);

    // ---- Lines and rectangles.
    int GLLine(double x1, double y1, double x2, double y2);
    int GLLine4(double x1, double y1, double x2, double y2);
    int GLLine3(double x1, double y1, double x2, double y2);
    int GLLine2(double x1, double y1, double x2, double y2);
    int GLBox(double x1, double y1, double x2, double y2);
    int GLBoxA(double x1, double y1, double x2, double y2, double a);

    // ---- Polylines and curves.
    int GLPolyline();
    int GLPolyline2();
    int GLEllipse(double cx, double cy, double r, double h, double a);
    int GLEllipseArc(double cx, double cy, double r, double h, double a, double sa, double da);
    int GLEllipse2(double cx, double cy, double r, double h, double a);
    int GLEllipseArc2(double cx, double cy, double r, double h, double a, double sa, double da);
    void TransBezierSub(double& xp, double& yp, double t, double x1, double x2, double x3, double x4, double y1,
        double y2, double y3, double y4);
    void TransBezierToLines(int sp, int num, std::span<const TDPoint> v);
    int GLBezier(int n, std::span<const TDPoint> p, double sc);
    int GLPolylin(int n, std::span<const TDPoint> p, double sc);

    // ---- Fills.
    int GLSolid();
    int GLSolidCircle(double cx, double cy, double r);
    int GLSolidArc(int sty, double cx, double cy, double r, double h, double a, double sa, double da, double zf);
    int GLPolygon(int n, std::span<const TDPoint> p, double sc);
    // Defined in GraSymbol.cpp.
    void GPolygonPattern(int ptn, uint32_t col);
    void GPolygonGrad(int typ, uint32_t col1, uint32_t col2, TDPoint p1, TDPoint p2, double x1, double y1, double x2,
        double y2, double ang);
    // palette: the picture's 256 colour entries (blue, green, red, unused), for 8 bits per pixel and fewer;
    // without one those pictures are drawn in shades of grey.
    void GPolygonBmp(int x, int y, int d, std::span<const uint8_t> bmp, std::span<const uint8_t> palette = {});

    // ---- Symbols (GraSymbol.cpp).
    int GLSymbol(double sx, double sy, double le, double ox, double oy, double r1, double r2, double ea, double an,
        double pa1, double pa2, uint8_t sty, uint8_t ext, uint8_t exa, uint8_t dir);

    // ---- Text (GraUnit_text.cpp).
    int GLAText1(double x, double y, double h, double w, double a, int Fm, const std::u16string& s);
    int GLAText2(double xx, double yy, double ang, double h, double w, double sp, int Ftyp, const std::u16string& f,
        const std::u16string& s);
    int GLAText3(double x1, double y1, double x2, double y2, double h, double w, double sp, int Ftyp,
        const std::u16string& f, const std::u16string& s);

    // ---- Images.
    int GLImage(double x1, double y1, double x2, double y2, int Fm, const std::u16string& fn);
    int GLImage2(double x1, double y1, double x2, double y2, double drx, double dry, double drr, double dan,
        const std::u16string& fn);

    // Whether the dash pattern would show at the current view scale.
    bool pattern_visible() const;

private:
    platform::Gradient gradient_; // what GPolygonGrad keeps for kinds it does not know
};
