// A TGraph2 on a recording canvas with a known view and fresh attribute tables, for the renderer tests.
#pragma once
#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "globals/UnitVal.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"
#include "platform/DisplayList.h"

using Op = platform::DisplayList::Op;
using Record = platform::DisplayList::Record;

class RenderFixture : public ::testing::Test {
public:
    void SetUp() override
    {
        att = std::make_unique<TgraAttribute>();
        att->SetDisplayMode(true);
        gGraAtt = att.get();
        view(0, 0, 100, 100, 10);
        canvas = std::make_unique<platform::DisplayList>(1000, 1000);
        g = std::make_unique<TGraph2>(canvas.get());
    }
    void TearDown() override
    {
        g.reset();
        gGraAtt = nullptr;
    }

    // View window in drawing units and pixels per unit; the bitmap is exactly the window's height.
    static void view(double x1, double y1, double x2, double y2, double scale)
    {
        gDispX1 = x1;
        gDispY1 = y1;
        gDispX2 = x2;
        gDispY2 = y2;
        gDispScale = scale;
        gDispHeight = (y2 - y1) * scale;
        gDispWidth = (x2 - x1) * scale;
    }

    // Where a drawing point lands on the bitmap.
    static platform::PointF dev(double x, double y)
    {
        return { float((x - gDispX1) * gDispScale), float(gDispHeight - (y - gDispY1) * gDispScale) };
    }

    // Line records drawn with the one-pixel dot stroke from (x, y) to (x + 1, y).
    static bool is_dot(const Record& r)
    {
        return r.op == Op::Line && r.pts.size() == 2 && std::fabs(r.pts[1].X - r.pts[0].X - 1) < 1e-4
            && r.pts[1].Y == r.pts[0].Y && r.stroke.Thickness == 1;
    }

    std::vector<const Record*> lines() const { return canvas->of(Op::Line); }
    void reset_records() { canvas->clear_records(); }

    std::unique_ptr<TgraAttribute> att;
    std::unique_ptr<platform::DisplayList> canvas;
    std::unique_ptr<TGraph2> g;
};

#define EXPECT_PT_NEAR(p, ex, ey, tol)                                                                                 \
    do {                                                                                                               \
        EXPECT_NEAR((p).X, (ex), (tol));                                                                               \
        EXPECT_NEAR((p).Y, (ey), (tol));                                                                               \
    } while (0)
