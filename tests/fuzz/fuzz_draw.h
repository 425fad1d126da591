// Drawing for the fuzz targets the way the driver draws: attribute tables with their start-up defaults, the view
// fitted to a rectangle with a 5 % margin on an 800 x 600 bitmap, a renderer bound to a Cairo canvas over it;
// and the private folder a target writes its files in.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "globals/UnitVal.h"
#include "globals/ViewFit.h"
#include "graphics/GraUnit.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"
#include "platform/Bitmap.h"
#include "platform/CairoCanvas.h"

namespace fuzz_draw {

constexpr int width = 800, height = 600;

// The attribute tables as the driver starts them.
inline void start_attributes(TgraAttribute& att) { detail::start_attributes(att, 0); }

// The driver's view fit at 800 x 600.
inline void fit(double xmin, double ymin, double xmax, double ymax)
{
    detail::fit_view(xmin, ymin, xmax, ymax, width, height);
}

// A private folder for the files a drawing writes, removed with everything in it.
struct PrivateFolder {
    std::filesystem::path root;
    explicit PrivateFolder(const char* name)
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / (std::string(name) + "-XXXXXX")).string();
        if (!::mkdtemp(tmpl.data()))
            std::abort();
        root = tmpl;
    }
    ~PrivateFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

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
