// The expanded block tree: order, transforms, resolution, numbering, cycles and explosive nesting.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>

#include "formats/jww/JwwUnit.h"
#include "tests/support/jww_tempdir.h"
#include "tests/support/jww_writer.h"

using namespace jwwtest;

namespace {

TEntJwwBlockDef def(
    uint32_t number, const std::u16string& name, std::vector<TEntJwwBlock> inserts = {}, TEntJwwAttr a = attr())
{
    TEntJwwBlockDef d;
    d.att = a;
    d.nNumber = number;
    d.strName = name;
    d.mBlock = std::move(inserts);
    d.mBlockN = int32_t(d.mBlock.size());
    return d;
}

void set_inserts(TJwwData& jw, std::vector<TEntJwwBlock> inserts)
{
    jw.EntBlock = std::move(inserts);
    jw.EntBlockN = int32_t(jw.EntBlock.size());
}

TEST(JwwBlockTree, TwoInsertsOfADefinitionHoldingAnotherGiveFourNodesBreadthFirst)
{
    TJwwData jw;
    jw.EntBlockDef.push_back(def(7, u"B"));
    jw.EntBlockDef.push_back(def(5, u"A", { insert(7, 1, 0) }, attr(3, 1, 4, 2)));
    jw.EntBlockDef.push_back(def(9, u"unused"));
    jw.EntBlockDefN = 3;
    set_inserts(jw, { insert(5, 10, 0, 1, 1, 0, attr(6)), insert(5, 20, 0, 1, 1, 0, attr(8)) });
    jw.MakeBlockTree();

    ASSERT_EQ(jw.EntBlockTreeN, 4);
    const auto& t = jw.EntBlockTree;
    const int32_t level[] = { 0, 0, 1, 1 }, parent[] = { -1, -1, 0, 1 }, defno[] = { 1, 1, 0, 0 };
    const double x[] = { 10, 20, 11, 21 };
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(t[i].level, level[i]) << i;
        EXPECT_EQ(t[i].parent, parent[i]) << i;
        EXPECT_EQ(t[i].defno, defno[i]) << i;
        EXPECT_DOUBLE_EQ(t[i].x, x[i]) << i;
    }
    EXPECT_EQ(t[0].name, u"A");
    EXPECT_EQ(t[2].name, u"B");
    EXPECT_EQ(t[2].no, 7u);
    EXPECT_EQ(+(t[0].att.nPenColor), 6) << "a top node carries its insert's attribute";
    EXPECT_EQ(+(t[1].att.nPenColor), 8);
    EXPECT_EQ(+(t[2].att.nPenColor), 3) << "a nested node carries its containing definition's attribute";
    EXPECT_EQ(+(t[2].att.nLayer), 4);
    EXPECT_TRUE(jw.EntBlockDef[0].ref_flag);
    EXPECT_TRUE(jw.EntBlockDef[1].ref_flag);
    EXPECT_FALSE(jw.EntBlockDef[2].ref_flag);
    EXPECT_EQ(jw.EntBlockDef[0].ref_no, 0);
    EXPECT_EQ(jw.EntBlockDef[1].ref_no, 1);
    EXPECT_EQ(jw.EntBlockDef[2].ref_no, -1);
    EXPECT_EQ(jw.EntBlockNum, 2);
}

TEST(JwwBlockTree, InsertMatrixOfAQuarterTurnWithScales)
{
    TJwwData jw;
    set_inserts(jw, { insert(1, 5, 6, 2, 3, std::numbers::pi / 2) });
    jw.MakeBlockTree();
    ASSERT_EQ(jw.EntBlockTreeN, 1);
    const auto& n = jw.EntBlockTree[0];
    EXPECT_NEAR(n.r1, 0, 1e-12);
    EXPECT_DOUBLE_EQ(n.r2, -3);
    EXPECT_DOUBLE_EQ(n.r3, 2);
    EXPECT_NEAR(n.r4, 0, 1e-12);
    EXPECT_EQ(n.x, 5);
    EXPECT_EQ(n.y, 6);
    EXPECT_EQ(n.defno, -1) << "no definition has number 1";
    EXPECT_EQ(n.name, u"");
    EXPECT_EQ(jw.EntBlockNum, 0);
}

TEST(JwwBlockTree, NestedTransformComposesParentAndInsert)
{
    // Outer: rotate 90 degrees, scale 2, at (100, 0). Inner insert at (1, 0), scale (1, 3), rotated 90.
    TJwwData jw;
    jw.EntBlockDef.push_back(def(1, u"outer", { insert(2, 1, 0, 1, 3, std::numbers::pi / 2) }));
    jw.EntBlockDef.push_back(def(2, u"inner"));
    jw.EntBlockDefN = 2;
    set_inserts(jw, { insert(1, 100, 0, 2, 2, std::numbers::pi / 2) });
    jw.MakeBlockTree();
    ASSERT_EQ(jw.EntBlockTreeN, 2);
    const auto& c = jw.EntBlockTree[1];
    // Inner origin (1, 0) maps through the outer transform to (100, 2).
    EXPECT_NEAR(c.x, 100, 1e-12);
    EXPECT_NEAR(c.y, 2, 1e-12);
    // A point (u, v) of the inner definition: inner gives (1 - 3v, u), outer maps (p, q) to (100 - 2q, 2p).
    const double u = 0.5, v = 0.25;
    double wx = c.x + c.r1 * u + c.r2 * v, wy = c.y + c.r3 * u + c.r4 * v;
    double px = 1 - 3 * v, py = u;
    EXPECT_NEAR(wx, 100 - 2 * py, 1e-12);
    EXPECT_NEAR(wy, 2 * px, 1e-12);
    EXPECT_EQ(c.level, 1);
}

TEST(JwwBlockTree, FirstDefinitionOfANumberWins)
{
    TJwwData jw;
    jw.EntBlockDef.push_back(def(4, u"first"));
    jw.EntBlockDef.push_back(def(4, u"second"));
    jw.EntBlockDefN = 2;
    set_inserts(jw, { insert(4, 0, 0) });
    jw.MakeBlockTree();
    EXPECT_EQ(jw.EntBlockTree[0].defno, 0);
    EXPECT_FALSE(jw.EntBlockDef[1].ref_flag);
    EXPECT_EQ(jw.EntBlockNum, 1);
}

TEST(JwwBlockTree, NoInsertsNoTreeAndNumbersReset)
{
    TJwwData jw;
    jw.EntBlockDef.push_back(def(1, u"a"));
    jw.EntBlockDef[0].ref_flag = true;
    jw.EntBlockDef[0].ref_no = 3;
    jw.EntBlockDefN = 1;
    jw.EntBlockNum = 9;
    jw.MakeBlockTree();
    EXPECT_EQ(jw.EntBlockTreeN, 0);
    EXPECT_FALSE(jw.EntBlockDef[0].ref_flag);
    EXPECT_EQ(jw.EntBlockDef[0].ref_no, -1);
    EXPECT_EQ(jw.EntBlockNum, 0);
}

TEST(JwwBlockTree, CyclesStopWhereADefinitionRepeatsOnThePath)
{
    struct Case {
        const char* name;
        std::vector<TEntJwwBlockDef> defs;
        int32_t nodes;
    };
    std::vector<Case> cases;
    cases.push_back({ "self", { def(1, u"a", { insert(1, 1, 0) }) }, 2 });
    cases.push_back({ "pair", { def(1, u"a", { insert(2, 0, 0) }), def(2, u"b", { insert(1, 0, 0) }) }, 3 });
    cases.push_back({ "ring of three",
        { def(1, u"a", { insert(2, 0, 0) }), def(2, u"b", { insert(3, 0, 0) }), def(3, u"c", { insert(1, 0, 0) }) },
        4 });
    // a holds b twice, b holds itself: 1 + 2 (b) + 2 (b inside each b, not expanded).
    cases.push_back(
        { "double", { def(1, u"a", { insert(2, 0, 0), insert(2, 1, 0) }), def(2, u"b", { insert(2, 0, 0) }) }, 5 });
    for (auto& c : cases) {
        TJwwData jw;
        jw.EntBlockDef = c.defs;
        jw.EntBlockDefN = int32_t(c.defs.size());
        set_inserts(jw, { insert(1, 0, 0) });
        jw.MakeBlockTree();
        EXPECT_EQ(jw.EntBlockTreeN, c.nodes) << c.name;
        EXPECT_EQ(jw.EntBlockNum, int32_t(c.defs.size())) << c.name;
    }
}

TEST(JwwBlockTree, ExplosiveNestingStopsAtTheInstanceBudget)
{
    // Eight levels, each definition holding ten inserts of the next: 10^8 nodes unbounded.
    TJwwData jw;
    for (uint32_t lv = 1; lv <= 8; ++lv) {
        std::vector<TEntJwwBlock> ins;
        if (lv < 8)
            for (int i = 0; i < 10; ++i)
                ins.push_back(insert(lv + 1, i, 0));
        jw.EntBlockDef.push_back(def(lv, u"L", ins));
    }
    jw.EntBlockDefN = 8;
    set_inserts(jw, { insert(1, 0, 0) });
    jw.MakeBlockTree();
    EXPECT_EQ(size_t(jw.EntBlockTreeN), detail::kJwwMaxBlockInstances);
    // Levels 0 to 4 hold 11111 nodes; the budget ends inside level 5.
    EXPECT_EQ(jw.EntBlockTree.back().level, 5) << "breadth first: the budget cuts the deepest level";
}

// A definition that also holds n lines.
TEntJwwBlockDef with_lines(TEntJwwBlockDef d, int n)
{
    for (int i = 0; i < n; ++i)
        d.mLine.push_back(line(0, i, 1, i));
    d.mLineN = n;
    return d;
}

std::vector<TEntJwwBlock> inserts_of(uint32_t number, int n)
{
    std::vector<TEntJwwBlock> v;
    for (int i = 0; i < n; ++i)
        v.push_back(insert(number, i, 0));
    return v;
}

TEST(JwwBlockTree, NodesAreTakenInTreeOrderWhileTheBudgetLasts)
{
    struct Case {
        const char* name;
        std::vector<TEntJwwBlockDef> defs;
        std::vector<TEntJwwBlock> inserts;
        detail::JwwBlockBudget budget;
        size_t nodes;
        bool cut; // false: the unbounded tree has no more nodes
    };
    const Case cases[] = {
        // 3 + 3 + 3 = 9 leaves room; the fourth insert uses up the rest and is still placed.
        { "entities in insert order", { with_lines(def(1, u"a"), 3) }, inserts_of(1, 10), { 100, 10 }, 4, true },
        { "a large definition is placed once", { with_lines(def(1, u"a"), 50) }, inserts_of(1, 3), { 100, 10 }, 1,
            true },
        { "instances breadth first", { def(1, u"a", inserts_of(2, 3)), def(2, u"b") }, inserts_of(1, 1), { 3, 100 }, 3,
            true },
        { "unknown numbers cost an instance only", {}, inserts_of(7, 5), { 4, 1 }, 4, true },
        { "within budget nothing is cut",
            { with_lines(def(1, u"a", inserts_of(2, 3)), 2), with_lines(def(2, u"b"), 1) }, inserts_of(1, 2), { 8, 10 },
            8, false },
    };
    for (const auto& c : cases) {
        auto defs = c.defs;
        std::vector<TEntJwwBlockTree> tree;
        int32_t used = 0;
        detail::build_block_tree(c.inserts, defs, tree, used, c.budget);
        ASSERT_EQ(tree.size(), c.nodes) << c.name;
        // The nodes taken are the first of the unbounded tree, in its order.
        std::vector<TEntJwwBlockTree> whole;
        detail::build_block_tree(c.inserts, defs, whole, used, { SIZE_MAX, SIZE_MAX });
        EXPECT_EQ(whole.size() > tree.size(), c.cut) << c.name;
        for (size_t i = 0; i < tree.size(); ++i) {
            EXPECT_EQ(tree[i].parent, whole[i].parent) << c.name << " " << i;
            EXPECT_EQ(tree[i].defno, whole[i].defno) << c.name << " " << i;
            EXPECT_DOUBLE_EQ(tree[i].x, whole[i].x) << c.name << " " << i;
        }
    }
}

TEST(JwwBlockTree, EntitiesThroughBlocksStopAtTheirBudget)
{
    // Two thousand inserts of a definition of a thousand lines: two million lines to draw unbounded.
    TJwwData jw;
    jw.EntBlockDef.push_back(with_lines(def(1, u"a"), 1000));
    jw.EntBlockDefN = 1;
    set_inserts(jw, inserts_of(1, 2000));
    jw.MakeBlockTree();
    EXPECT_EQ(size_t(jw.EntBlockTreeN), detail::kJwwMaxBlockEntities / 1000);
    EXPECT_DOUBLE_EQ(jw.EntBlockTree.back().x, double(jw.EntBlockTreeN - 1)) << "the first inserts, in order";
}

TEST(JwwBlockTree, LongChainsAndRingsOfDefinitions)
{
    // A chain needs no path searches at all; a ring needs them only inside itself.
    struct Case {
        uint32_t n;
        bool ring;
    } cases[] = { { 20000, false }, { 3000, true } };
    for (const auto& c : cases) {
        TJwwData jw;
        for (uint32_t i = 1; i <= c.n; ++i) {
            std::vector<TEntJwwBlock> ins;
            if (i < c.n || c.ring)
                ins.push_back(insert(i == c.n ? 1 : i + 1, 0, 0));
            jw.EntBlockDef.push_back(def(i, u"d", ins));
        }
        jw.EntBlockDefN = int32_t(c.n);
        set_inserts(jw, { insert(1, 0, 0) });
        jw.MakeBlockTree();
        EXPECT_EQ(jw.EntBlockTreeN, int32_t(c.ring ? c.n + 1 : c.n)) << c.n;
        EXPECT_EQ(jw.EntBlockNum, int32_t(c.n));
        EXPECT_EQ(jw.EntBlockTree.back().level, int32_t(c.ring ? c.n : c.n - 1));
    }
}

TEST(JwwBlockTree, TreeIsBuiltFromTheFile)
{
    JwwWriter w(600);
    w.add(insert(10, 1, 1));
    w.add(insert(10, 2, 2));
    w.begin_block(10, u"A");
    w.add(insert(20, 5, 0));
    w.end_block();
    w.begin_block(20, u"B");
    w.add(line(0, 0, 1, 1));
    w.end_block();
    TempDir dir;
    ASSERT_TRUE(w.save((dir.path() / "t.jww").string()));
    TJwwData jw;
    ASSERT_TRUE(jw.FileIn(dir.file("t.jww")));
    ASSERT_EQ(jw.EntBlockTreeN, 4);
    EXPECT_EQ(jw.EntBlockTree[2].name, u"B");
    EXPECT_DOUBLE_EQ(jw.EntBlockTree[3].x, 7);
    EXPECT_EQ(jw.EntBlockNum, 2);
}

} // namespace
