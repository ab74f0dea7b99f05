#include <gtest/gtest.h>

#include <cstring>

#include "FakeHost.h"
#include "ParamSet.h"
#include "render/CompositingSetup.h"
#include "render/MaskSetup.h"
#include "PlainPixelFunctions.h"
#include "render/Render.h"

namespace qxv {
namespace {

using test::FakeHost;
using test::ParamSet;
using test::World;

constexpr A_long kPremierePro = 0x50724D72;
constexpr A_long kWidth = 40, kHeight = 24;

// A frame with the shape's band, core and outside all in view.
struct Frame {
    ParamSet params;
    World input;
    World output;

    explicit Frame(size_t pixel_size, PF_WorldFlags flags = 0)
        : input(kWidth, kHeight, pixel_size, flags), output(kWidth, kHeight, pixel_size, flags) {
        params.SetOrigin(20, 12);
        params[kParamWidth].u.fs_d.value = 30;
        params[kParamHeight].u.fs_d.value = 20;
        params[kParamFeather].u.fs_d.value = 8;
        input.FillPattern(pixel_size, 5);
        output.FillPattern(pixel_size, 99);
        params[kParamInputLayer].u.ld = input.def;
    }
    PF_Err Render(FakeHost& host) { return qxv::Render(&host.in_data, &host.out_data, params.list, &output.def); }
};

// The output the plain pixel function gives for every pixel of the frame.
template <class Pixel, class Func>
World Expected(Frame& frame, FakeHost& host, Func pixel_fn, size_t pixel_size) {
    RenderContext ctx{};
    SetUpMask(&host.in_data, frame.params.list, &ctx);
    SetUpCompositing(frame.params.list, &ctx);
    World expected = frame.output;
    expected.def.data = reinterpret_cast<PF_PixelPtr>(expected.bytes.data());
    for (A_long y = 0; y < kHeight; ++y) {
        for (A_long x = 0; x < kWidth; ++x) {
            pixel_fn(&ctx, x, y, frame.input.At<Pixel>(x, y), expected.At<Pixel>(x, y));
        }
    }
    (void)pixel_size;
    return expected;
}

TEST(RenderTest, AfterEffectsShadesEachDepthWithItsIterateSuite) {
    {
        FakeHost host;
        Frame frame(sizeof(PF_Pixel));
        const World expected = Expected<PF_Pixel>(frame, host, test::PlainPixelArgb8, sizeof(PF_Pixel));
        EXPECT_EQ(frame.Render(host), PF_Err_NONE);
        EXPECT_EQ(frame.output.bytes, expected.bytes);
        EXPECT_EQ(host.calls, std::vector<std::string>{"iterate8"});
        EXPECT_EQ(host.last_progress_final, kHeight);
        EXPECT_TRUE(host.Balanced());
    }
    {
        FakeHost host;
        Frame frame(sizeof(PF_Pixel16), PF_WorldFlag_DEEP);
        const World expected = Expected<PF_Pixel16>(frame, host, test::PlainPixelArgb16, sizeof(PF_Pixel16));
        EXPECT_EQ(frame.Render(host), PF_Err_NONE);
        EXPECT_EQ(frame.output.bytes, expected.bytes);
        EXPECT_EQ(host.calls, std::vector<std::string>{"iterate16"});
        EXPECT_EQ(host.acquired.count(kPFIterate8Suite), 0u);
        EXPECT_TRUE(host.Balanced());
    }
}

TEST(RenderTest, PremiereProShadesBothPixelFormats) {
    {
        FakeHost host(kPremierePro);
        Frame frame(sizeof(PF_Pixel));
        const World expected = Expected<PF_Pixel>(frame, host, test::PlainPixelBgra8, sizeof(PF_Pixel));
        EXPECT_EQ(frame.Render(host), PF_Err_NONE);
        EXPECT_EQ(frame.output.bytes, expected.bytes);
        EXPECT_EQ(host.calls, std::vector<std::string>{"iterate8"});
        EXPECT_EQ(host.acquired[kPFPixelFormatSuite], 1);
        EXPECT_TRUE(host.Balanced());
    }
    {
        FakeHost host(kPremierePro);
        host.pixel_format = PrPixelFormat_BGRA_4444_32f;
        Frame frame(sizeof(PF_PixelFloat));
        // Floats from the byte pattern would include not-a-number; use plain values.
        for (A_long y = 0; y < kHeight; ++y) {
            for (A_long x = 0; x < kWidth; ++x) {
                *frame.input.At<PF_PixelFloat>(x, y) = {x / 40.0f, y / 24.0f, 0.5f, 1.25f};
            }
        }
        const World expected = Expected<PF_PixelFloat>(frame, host, test::PlainPixelBgraFloat, sizeof(PF_PixelFloat));
        EXPECT_EQ(frame.Render(host), PF_Err_NONE);
        EXPECT_EQ(frame.output.bytes, expected.bytes);
        EXPECT_TRUE(host.calls.empty());  // the effect's own row loop
        EXPECT_TRUE(host.Balanced());
    }
}

TEST(RenderTest, OpacityZeroCopiesThroughTheHost) {
    struct {
        const char* what;
        A_long appl_id;
        PF_Quality quality;
        const char* copy;
        const char* suite;
    } const cases[] = {
        {"After Effects, high quality", 0, PF_Quality_HI, "copy_hq", kPFWorldTransformSuite},
        {"After Effects, low quality", 0, PF_Quality_LO, "copy", kPFWorldTransformSuite},
        {"Premiere Pro", kPremierePro, PF_Quality_HI, "utils copy", nullptr},
    };
    for (const auto& c : cases) {
        FakeHost host(c.appl_id);
        host.in_data.quality = c.quality;
        Frame frame(sizeof(PF_Pixel));
        frame.params.SetOpacityPercent(0);
        frame.params[kParamMaskOnly].u.bd.value = 1;
        frame.params[kParamFillWith].u.pd.value = kFillTransparent;
        EXPECT_EQ(frame.Render(host), PF_Err_NONE) << c.what;
        EXPECT_EQ(frame.output.bytes, frame.input.bytes) << c.what;
        EXPECT_EQ(host.calls, std::vector<std::string>{c.copy}) << c.what;
        EXPECT_EQ(host.acquired.size(), c.suite ? 1u : 0u) << c.what;
        EXPECT_TRUE(host.Balanced()) << c.what;
    }
}

TEST(RenderTest, HostErrorsAreReturned) {
    struct {
        const char* what;
        A_long appl_id;
        A_long opacity;
    } const cases[] = {
        {"After Effects iterate", 0, 25}, {"Premiere Pro iterate", kPremierePro, 25},
        {"After Effects copy", 0, 0},     {"Premiere Pro copy", kPremierePro, 0},
    };
    for (const auto& c : cases) {
        FakeHost host(c.appl_id);
        host.iterate_result = PF_Interrupt_CANCEL;
        host.copy_result = PF_Interrupt_CANCEL;
        Frame frame(sizeof(PF_Pixel));
        frame.params.SetOpacityPercent(c.opacity);
        EXPECT_EQ(frame.Render(host), PF_Interrupt_CANCEL) << c.what;
        EXPECT_TRUE(host.Balanced()) << c.what;
        EXPECT_EQ(host.out_data.out_flags, 0) << c.what;
    }
}

TEST(RenderTest, UnknownPremiereFormatLeavesTheOutputAlone) {
    FakeHost host(kPremierePro);
    host.pixel_format = MAKE_PIXEL_FORMAT_FOURCC('Y', 'U', 'V', 'A');
    Frame frame(sizeof(PF_Pixel));
    const std::vector<unsigned char> before = frame.output.bytes;
    EXPECT_EQ(frame.Render(host), PF_Err_UNRECOGNIZED_PARAM_TYPE);
    EXPECT_EQ(frame.output.bytes, before);
    EXPECT_EQ(host.released[kPFPixelFormatSuite], 1);
    EXPECT_TRUE(host.Balanced());
}

TEST(RenderTest, MissingPixelFormatSuiteIsReported) {
    FakeHost host(kPremierePro);
    host.missing.insert(kPFPixelFormatSuite);
    Frame frame(sizeof(PF_Pixel));
    const std::vector<unsigned char> before = frame.output.bytes;
    EXPECT_EQ(frame.Render(host), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(host.out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE);
    EXPECT_STREQ(host.out_data.return_msg, "Not able to acquire AEFX Suite.");
    EXPECT_EQ(frame.output.bytes, before);
    EXPECT_TRUE(host.Balanced());
}

// A suite the cache cannot get is thrown; whatever was acquired before is given back.
TEST(RenderTest, MissingCachedSuiteIsThrownWithSuitesReleased) {
    struct {
        const char* what;
        A_long appl_id;
        A_long opacity;
        PF_WorldFlags flags;
        const char* missing;
    } const cases[] = {
        {"8-bit", 0, 25, 0, kPFIterate8Suite},
        {"16-bit", 0, 25, PF_WorldFlag_DEEP, kPFIterate16Suite},
        {"copy", 0, 0, 0, kPFWorldTransformSuite},
        {"Premiere Pro 8-bit", kPremierePro, 25, 0, kPFIterate8Suite},
    };
    for (const auto& c : cases) {
        FakeHost host(c.appl_id);
        host.missing.insert(c.missing);
        Frame frame(sizeof(PF_Pixel16), c.flags);
        frame.params.SetOpacityPercent(c.opacity);
        PF_Err thrown = PF_Err_NONE;
        try {
            frame.Render(host);
        } catch (PF_Err err) {
            thrown = err;
        }
        EXPECT_EQ(thrown, PF_Err_BAD_CALLBACK_PARAM) << c.what;
        EXPECT_TRUE(host.Balanced()) << c.what;
        EXPECT_EQ(host.out_data.out_flags, 0) << c.what;
    }
}

TEST(RenderTest, NoBasicSuiteIsThrown) {
    FakeHost host;
    host.in_data.pica_basicP = nullptr;
    Frame frame(sizeof(PF_Pixel));
    EXPECT_THROW(frame.Render(host), PF_Err);
}

TEST(RenderTest, EmptyExtentVisitsNoFloatPixel) {
    FakeHost host(kPremierePro);
    host.pixel_format = PrPixelFormat_BGRA_4444_32f;
    Frame frame(sizeof(PF_PixelFloat));
    frame.output.def.extent_hint = {0, 5, kWidth, 5};
    const std::vector<unsigned char> before = frame.output.bytes;
    EXPECT_EQ(frame.Render(host), PF_Err_NONE);
    EXPECT_EQ(frame.output.bytes, before);
}

}  // namespace
}  // namespace qxv
