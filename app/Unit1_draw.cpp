// Sizing the bitmap and letting the loaded document draw itself through a renderer.
#include "app/Unit1.h"
#include "formats/jwc/JwcUnit.h"
#include "formats/jwc/JwkUnit.h"
#include "formats/jww/JwsUnit.h"
#include "formats/jww/JwwUnit.h"
#include "formats/m7/M7Unit.h"
#include "globals/UnitVal.h"
#include "graphics/GraUnit.h"
#include "graphics/GraUnit2.h"
#include "graphics/UnitGraAtt.h"

void TForm1::bind_jw_renderer()
{
    delete gGraph2;
    gGraph2 = new TGraph2(canvas_.get());
    canvas_->begin_scene();
    gGraph2->GCls(gGraAtt->GetBackColor());
}

void TForm1::dispDraw(int JWtype)
{
    // The renderers point at the old canvas; they must not outlive it.
    free_renderers();
    canvas_.reset();
    if (!size_bitmap())
        return;
    canvas_ = std::make_unique<platform::CairoCanvas>(Image1);
    switch (JWtype) {
    case 1:
        if (M7->EntN <= 0)
            return;
        gGraph = new TGraph(canvas_.get());
        canvas_->begin_scene();
        gGraph->GCls(0xFFFFFFFF);
        gGraph->GPenSet(0xFF0000FF, 1, 1);
        gGraph->GLBox(0, 0, papx, papy);
        M7->GLDrawALL();
        break;
    case 2:
        if (JWW1->Enthd.n1 <= 0)
            return;
        bind_jw_renderer();
        gGraph2->GPenSet(0xFF0000FF, 1, 1);
        gGraph2->GLBox(-papx / 2, -papy / 2, papx / 2, papy / 2);
        JWW1->GLDrawALL();
        break;
    case 3:
        if (JWS->Enthd.n1 <= 0)
            return;
        bind_jw_renderer();
        JWS->GLDrawALL();
        break;
    case 4:
        bind_jw_renderer();
        gGraph2->GPenSet(0xFF0000FF, 1, 1);
        gGraph2->GLBox(0, 0, papx, papy);
        JWC->GLDrawALL();
        break;
    case 5:
        bind_jw_renderer();
        JWK->GLDrawALL();
        break;
    default: return;
    }
    canvas_->end_scene();
}
