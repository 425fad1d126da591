// Drawing for the fuzz targets the way the driver draws: attribute tables with their start-up defaults, the view
// fitted to a rectangle with a 5 % margin on an 800 x 600 bitmap, a renderer bound to a Cairo canvas over it.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "globals/UnitVal.h"
#include "graphics/GraUnit.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"
#include "platform/Bitmap.h"
#include "platform/CairoCanvas.h"

namespace fuzz_draw {

constexpr int width = 800, height = 600;

// The attribute tables as the driver sets them up before it loads a drawing.
inline void start_attributes(TgraAttribute& att)
{
    att.SetDisplayMode(true);
    att.SetBackColor(0);
    att.SetDefaultColor();
    att.SetDefaultLayer();
    att.SetDefaultWidth();
    att.SetDefaultTenR();
    att.SetDefaultLtype();
    att.SetDispHojo(1);
    att.SetDispKijun(1);
    att.SetGrayColor(0xFF808080);
    att.SetAll1Color(false);
}

// The driver's view fit: the rectangle grown by 5 %, centred, at the largest scale that shows all of it.
inline void fit(double xmin, double ymin, double xmax, double ymax)
{
    gDispWidth = width;
    gDispHeight = height;
    const double dx = std::max(std::fabs(xmax - xmin) * 1.05, 0.001);
    const double dy = std::max(std::fabs(ymax - ymin) * 1.05, 0.001);
    gDispScale = std::min(gDispWidth / dx, gDispHeight / dy);
    const double cx = (xmin + xmax) / 2, cy = (ymin + ymax) / 2;
    gDispX1 = cx - 0.5 * gDispWidth / gDispScale;
    gDispY1 = cy - 0.5 * gDispHeight / gDispScale;
    gDispX2 = cx + 0.5 * gDispWidth / gDispScale;
    gDispY2 = cy + 0.5 * gDispHeight / gDispScale;
}

// The bitmap and its canvas for one drawing.
struct Target {
    platform::Bitmap bitmap;
    platform::CairoCanvas* canvas = nullptr;
    Target()
    {
        if (!bitmap.resize(width, height))
            std::abort();
        canvas = new platform::CairoCanvas(bitmap);
        canvas->begin_scene();
    }
    ~Target()
    {
        canvas->end_scene();
        delete canvas;
    }
};

// A Jw document drawn through TGraph2 in the view fitted to (xmin, ymin)-(xmax, ymax); with a frame, the blue
// paper outline is drawn first.
template <class Doc> void draw_jw(Doc& doc, double xmin, double ymin, double xmax, double ymax, bool frame)
{
    fit(xmin, ymin, xmax, ymax);
    Target t;
    TGraph2 graph(t.canvas);
    gGraph2 = &graph;
    graph.GCls(gGraAtt->GetBackColor());
    if (frame) {
        graph.GPenSet(0xFF0000FF, 1, 1);
        graph.GLBox(xmin, ymin, xmax, ymax);
    }
    doc.GLDrawALL();
    gGraph2 = nullptr;
}

// An M7 document drawn through TGraph on its paper (papx x papy at the origin), with the blue paper frame.
template <class Doc> void draw_m7(Doc& doc, double papx, double papy)
{
    fit(0, 0, papx, papy);
    Target t;
    TGraph graph(t.canvas);
    gGraph = &graph;
    graph.GCls(0xFFFFFFFF);
    graph.GPenSet(0xFF0000FF, 1, 1);
    graph.GLBox(0, 0, papx, papy);
    doc.GLDrawALL();
    gGraph = nullptr;
}

} // namespace fuzz_draw
