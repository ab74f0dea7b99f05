#include <gtest/gtest.h>

#include <vector>

#include "hostsim/World.h"
#include "render/PixelFormats.h"

namespace qxv {
namespace {

using hostsim::World;
using hostsim::WorldFormat;

PF_PixelFloat* At(World& world, A_long x, A_long y) { return reinterpret_cast<PF_PixelFloat*>(world.Pixel(x, y)); }

struct Visit {
    A_long x, y;
    PF_PixelFloat* in;
    PF_PixelFloat* out;
};

PF_Err Record(void* refcon, A_long x, A_long y, PF_PixelFloat* in, PF_PixelFloat* out) {
    static_cast<std::vector<Visit>*>(refcon)->push_back({x, y, in, out});
    out->alpha = in->alpha + 1.0f;
    return PF_Interrupt_CANCEL;  // ignored by the loop
}

TEST(IterateBgraFloatTest, VisitsEveryPixelOfTheRowsWithItsOwnRowbytes) {
    World src(WorldFormat::kBgraFloat, 5, 4, hostsim::kDefaultRowPadding + 32);  // rows padded differently
    World dst(WorldFormat::kBgraFloat, 5, 4);
    std::vector<Visit> visits;
    EXPECT_EQ(IterateBgraFloat(1, 3, src.def(), &visits, Record, dst.def()), PF_Err_NONE);
    ASSERT_EQ(visits.size(), 10u);
    for (size_t i = 0; i < visits.size(); ++i) {
        const A_long x = static_cast<A_long>(i % 5), y = static_cast<A_long>(1 + i / 5);
        EXPECT_EQ(visits[i].x, x);
        EXPECT_EQ(visits[i].y, y);
        EXPECT_EQ(visits[i].in, At(src, x, y));
        EXPECT_EQ(visits[i].out, At(dst, x, y));
    }
    EXPECT_TRUE(dst.GuardsIntact());
}

// Rows and columns outside either world are never touched, whatever range is asked for.
TEST(IterateBgraFloatTest, StaysInsideBothWorlds) {
    struct {
        const char* what;
        A_long src_width, src_height, dst_width, dst_height, first_row, end_row;
        size_t visits;
    } const cases[] = {
        {"row range beyond both", 4, 3, 4, 3, 0, 10, 12},
        {"source shorter", 4, 2, 4, 3, 0, 3, 8},
        {"output shorter", 4, 3, 4, 1, 0, 3, 4},
        {"source narrower", 2, 3, 4, 3, 0, 3, 6},
        {"source wider", 6, 3, 4, 3, 0, 3, 12},
        {"negative first row", 4, 3, 4, 3, -5, 2, 8},
        {"empty range", 4, 3, 4, 3, 2, 2, 0},
        {"reversed range", 4, 3, 4, 3, 3, 1, 0},
    };
    for (const auto& c : cases) {
        World src(WorldFormat::kBgraFloat, c.src_width, c.src_height);
        World dst(WorldFormat::kBgraFloat, c.dst_width, c.dst_height);
        std::vector<Visit> visits;
        IterateBgraFloat(c.first_row, c.end_row, src.def(), &visits, Record, dst.def());
        EXPECT_TRUE(dst.GuardsIntact()) << c.what;
        EXPECT_EQ(visits.size(), c.visits) << c.what;
        for (const Visit& v : visits) {
            EXPECT_TRUE(v.x >= 0 && v.x < c.src_width && v.x < c.dst_width) << c.what;
            EXPECT_TRUE(v.y >= 0 && v.y < c.src_height && v.y < c.dst_height) << c.what;
        }
    }
}

TEST(IterateBgraFloatTest, WorldWithoutPixelsIsSkipped) {
    World src(WorldFormat::kBgraFloat, 4, 3);
    World dst(WorldFormat::kBgraFloat, 4, 3);
    src.def()->data = nullptr;
    std::vector<Visit> visits;
    EXPECT_EQ(IterateBgraFloat(0, 3, src.def(), &visits, Record, dst.def()), PF_Err_NONE);
    EXPECT_TRUE(visits.empty());
}

}  // namespace
}  // namespace qxv
