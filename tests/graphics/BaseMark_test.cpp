// The base-point mark of symbols: a red circle of 5 pixels, only when the reference-point display asks.
#include <cmath>

#include "graphics/BaseMark.h"
#include "tests/graphics/RenderFixture.h"

namespace {

class BaseMarkTest : public RenderFixture {
public:
    void SetUp() override
    {
        RenderFixture::SetUp();
        gGraph2 = g.get();
    }
    void TearDown() override
    {
        gGraph2 = nullptr;
        RenderFixture::TearDown();
    }
};

TEST_F(BaseMarkTest, RedCircleOfFivePixelsAtThePoint)
{
    att->SetDispKijun(1);
    detail::draw_base_mark(20, 30);
    const auto drawn = canvas->drawn();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0]->stroke.Color, 0xFFFF0000u);
    EXPECT_EQ(drawn[0]->stroke.Thickness, 2.0f);
    ASSERT_GE(drawn[0]->pts.size(), 8u);
    const auto c = dev(20, 30);
    for (const auto& p : drawn[0]->pts)
        EXPECT_NEAR(std::hypot(p.X - c.X, p.Y - c.Y), 5.0, 0.05);
}

TEST_F(BaseMarkTest, NothingWhenNotAskedOrWithoutAUsableView)
{
    struct Case {
        const char* name;
        int32_t kijun;
        double scale;
    };
    for (const Case& c : { Case { "display off", 0, 10 }, Case { "zero scale", 1, 0 }, Case { "nan scale", 1, NAN } }) {
        reset_records();
        att->SetDispKijun(c.kijun);
        gDispScale = c.scale;
        detail::draw_base_mark(20, 30);
        EXPECT_TRUE(canvas->drawn().empty()) << c.name;
    }
    reset_records();
    att->SetDispKijun(1);
    gDispScale = 10;
    gGraph2 = nullptr;
    detail::draw_base_mark(20, 30);
    EXPECT_TRUE(canvas->drawn().empty()) << "no renderer";
}

} // namespace
