// GraUnit2: TGraph2, the renderer the Jw documents draw through, bound to the output bitmap's canvas.
#pragma once
#include <cstdint>
#include <string>

#include "graphics/GraPoints.h"
#include "platform/Canvas.h"

// Operations named G... take pixels (origin top-left, y down); GL... take drawing units (y up), clip against
// the view window and end in the G... layer. Integer results: 0 drawn, 1 outside the view, 2 too small (at
// most a dot), 3 nothing to draw. The drawing code itself lives in graphics/GraCore.h and friends, shared
// with the M7 renderer; these methods only add what is particular to the Jw formats.
class TGraph2 {
public:
    explicit TGraph2(platform::Canvas* Ca);
    ~TGraph2();
    TGraph2(const TGraph2&) = delete;
    TGraph2& operator=(const TGraph2&) = delete;

    platform::Canvas* C; // not owned
    // Dash continuation of the last patterned line; reset by GLSetDT.
    int LastLay = -1;
    int LastTyp = -1;
    double LastX = 0;
    double LastY = 0;
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

    // ---- World transform and pens.
    void GLTransPt(double x1, double y1, double& x2, double& y2) const;
    void GLPenSet(int lay, int col, int typ, double wid);
    void GLPenSet(int lay, int col, int typ, double wid, uint32_t dcol);
    void GLSetDT();

    // ---- Lines and rectangles.
    int GLLine(double x1, double y1, double x2, double y2);
    int GLLineDT(int lay, int typ, double x1, double y1, double x2, double y2);
    int GLBox(double x1, double y1, double x2, double y2);
    int GLBoxA(double x1, double y1, double x2, double y2, double a);

    // ---- Polylines and curves.
    int GLPolyline();
    int GLEllipse(double cx, double cy, double r, double h, double a);
    int GLEllipseArc(double cx, double cy, double r, double h, double a, double sa, double da);
    int GLEllipseBL(double cx, double cy, double r, double h, double a, double bx, double by, double b1, double b2,
        double b3, double b4, double sc);
    int GLEllipseArcBL(double cx, double cy, double r, double h, double a, double sa, double da, double bx, double by,
        double b1, double b2, double b3, double b4, double sc);
    int GLEllipseArcDT(int lay, int typ, double cx, double cy, double r, double h, double a, double sa, double da);
    int GLEllipseArcBLDT(int lay, int typ, double cx, double cy, double r, double h, double a, double sa, double da,
        double bx, double by, double b1, double b2, double b3, double b4, double sc);

    // ---- Solids and point markers.
    int GLSolid();
    int GLSolidCircle(double cx, double cy, double r);
    int GLSolidArc(int sty, double cx, double cy, double r, double h, double a, double sa, double da, double zf);
    int GLSolidArcBL(int sty, double cx, double cy, double r, double h, double a, double sa, double da, double zf,
        double bx, double by, double b1, double b2, double b3, double b4, double sc);
    int GLTenMarker(double x, double y, int kf, int pc, double a, double ba, int lay, int col, int wd, uint32_t dcol);

    // ---- Text (defined in GraUnit2_text.cpp).
    int GLAText1(double x, double y, double h, double w, double a, int Fm, const std::u16string& s);
    int GLAText2(double xx, double yy, double ang, double h, double w, double sp, int Ftyp, const std::u16string& f,
        const std::u16string& s);
    int GLAText3(double x1, double y1, double x2, double y2, double h, double w, double sp, int Ftyp,
        const std::u16string& f, const std::u16string& s);

    // ---- Images.
    bool GetImageSize(const std::u16string& fn, double& ix, double& iy);
    bool GetImageCopy(const std::u16string& src, const std::u16string& dst);
    int GLImage(double x1, double y1, double x2, double y2, int Fm, const std::u16string& fn);
    int GLImage2(double x1, double y1, double x2, double y2, double drx, double dry, double drr, double dan,
        const std::u16string& fn);
};
