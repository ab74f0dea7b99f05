// qxv's Netpbm reader and writer, the image format of the Windows qxv: headers as other
// programs write them, malformed files refused with a reason, and pixels through worlds of
// every format.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "cli/images/NetpbmFiles.h"

namespace qxv::cli {
namespace {

using hostsim::World;
using hostsim::WorldFormat;

std::vector<std::uint8_t> Bytes(const std::string& header, std::size_t raster_bytes, std::uint8_t fill = 7) {
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), raster_bytes, fill);
    return bytes;
}

struct HeaderCase {
    const char* name;
    std::string header;
    std::size_t raster_bytes;
    int width, height, channels, maxval;
};

TEST(NetpbmDecode, ReadsHeadersAsOtherProgramsWriteThem) {
    const HeaderCase cases[] = {
        {"ppm", "P6\n3 2\n255\n", 18, 3, 2, 3, 255},
        {"ppm with comments and spaces", "P6 # made by hand\n 3\t2 # size\n255 ", 18, 3, 2, 3, 255},
        {"pgm 16-bit", "P5\n2 2\n65535\n", 8, 2, 2, 1, 65535},
        {"pam rgba (ffmpeg)", "P7\nWIDTH 2\nHEIGHT 1\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n", 8, 2, 1, 4, 255},
        {"pam grey alpha, comment, any order", "P7\n# x\nMAXVAL 65535\nDEPTH 2\nHEIGHT 1\nWIDTH 1\nENDHDR\n", 4, 1, 1, 2,
         65535},
    };
    for (const HeaderCase& c : cases) {
        NetpbmImage image;
        std::string error;
        ASSERT_TRUE(DecodeNetpbm(Bytes(c.header, c.raster_bytes), image, error)) << c.name << ": " << error;
        EXPECT_EQ(image.width, c.width) << c.name;
        EXPECT_EQ(image.height, c.height) << c.name;
        EXPECT_EQ(image.channels, c.channels) << c.name;
        EXPECT_EQ(image.maxval, c.maxval) << c.name;
        EXPECT_EQ(image.samples.size(), static_cast<std::size_t>(c.width * c.height * c.channels)) << c.name;
    }
}

TEST(NetpbmDecode, RefusesWhatItDoesNotReadWithAReason) {
    const struct {
        std::string bytes_header;
        std::size_t raster_bytes;
        const char* reason;
    } cases[] = {
        {"", 0, "not a Netpbm"},
        {"GIF89a", 0, "not a Netpbm"},
        {"P3\n1 1\n255\n", 3, "P3"},
        {"P6\n1 1\n", 3, "numbers"},
        {"P6\n1 1\n1023\n", 6, "maxval 1023"},
        {"P6\n0 1\n255\n", 0, "out of range"},
        {"P6\n99999999999 1\n255\n", 3, "numbers"},
        {"P6\n70000 1\n255\n", 3, "out of range"},
        {"P6\n2 2\n255\n", 11, "ends inside"},
        {"P5\n2 2\n65535\n", 7, "ends inside"},
        {"P6\n1 1\n255", 0, "whitespace"},
        {"P7\nWIDTH 1\nHEIGHT 1\nDEPTH 3\nMAXVAL 255\n", 0, "ENDHDR"},
        {"P7\nWIDTH 1\nHEIGHT 1\nMAXVAL 255\nENDHDR\n", 3, "lacks"},
        {"P7\nWIDTH 1\nHEIGHT 1\nDEPTH 5\nMAXVAL 255\nENDHDR\n", 5, "DEPTH 5"},
        {"P7\nWIDTH 1\nHEIGHT 1\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n", 3, "TUPLTYPE"},
        {"P7\nWIDTH 1\nHEIGHT 1\nDEPTH 1\nMAXVAL 1\nTUPLTYPE BLACKANDWHITE\nENDHDR\n", 1, "TUPLTYPE"},
        {"P7\nWIDTH 1\nHEIGHT 1\nDEPTH 3\nMAXVAL 255\nDPI 72\nENDHDR\n", 3, "DPI"},
        {"P7\nWIDTH x\nHEIGHT 1\nDEPTH 3\nMAXVAL 255\nENDHDR\n", 3, "WIDTH"},
        {"P7\nWIDTH 1\nHEIGHT 1\nDEPTH 3\nMAXVAL 255\nENDHDR x\n", 3, "ENDHDR"},
    };
    for (const auto& c : cases) {
        NetpbmImage image;
        std::string error;
        EXPECT_FALSE(DecodeNetpbm(Bytes(c.bytes_header, c.raster_bytes), image, error)) << c.bytes_header;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.bytes_header << " -> " << error;
    }
}

TEST(NetpbmDecode, SixteenBitSamplesAreBigEndian) {
    std::vector<std::uint8_t> bytes = Bytes("P5\n2 1\n65535\n", 0);
    for (std::uint8_t b : {0x12, 0x34, 0xFF, 0x00}) bytes.push_back(b);
    NetpbmImage image;
    std::string error;
    ASSERT_TRUE(DecodeNetpbm(bytes, image, error)) << error;
    EXPECT_EQ(image.samples, (std::vector<std::uint16_t>{0x1234, 0xFF00}));
}

TEST(NetpbmEncode, WritesWhatItReadsForEveryTupleKind) {
    for (int channels = 1; channels <= 4; ++channels) {
        for (int maxval : {255, 65535}) {
            NetpbmImage image;
            image.width = 3;
            image.height = 2;
            image.channels = channels;
            image.maxval = maxval;
            for (int i = 0; i < 3 * 2 * channels; ++i) image.samples.push_back(static_cast<std::uint16_t>(i * 37 % (maxval + 1)));
            NetpbmImage back;
            std::string error;
            ASSERT_TRUE(DecodeNetpbm(EncodeNetpbm(image), back, error)) << channels << " " << maxval << ": " << error;
            EXPECT_EQ(back.samples, image.samples) << channels << " " << maxval;
            EXPECT_EQ(back.channels, channels);
            EXPECT_EQ(back.maxval, maxval);
        }
    }
}

class NetpbmFiles : public testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("qxv_netpbm_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::FILE* file = std::fopen(Path(name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }

    std::filesystem::path dir_;
};

TEST_F(NetpbmFiles, PixelsReachEveryWorldFormatInItsChannelOrder) {
    // One RGBA pixel: 8-bit red 10, green 20, blue 30, alpha 255.
    std::vector<std::uint8_t> bytes = Bytes("P7\nWIDTH 1\nHEIGHT 1\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n", 0);
    for (std::uint8_t b : {10, 20, 30, 255}) bytes.push_back(b);
    Write("p.pam", bytes);
    std::string error;
    auto argb8 = ReadNetpbm(Path("p.pam"), WorldFormat::kArgb8, error);
    ASSERT_TRUE(argb8) << error;
    EXPECT_EQ(std::vector<std::uint8_t>(argb8->Pixel(0, 0), argb8->Pixel(0, 0) + 4),
              (std::vector<std::uint8_t>{255, 10, 20, 30}));
    auto bgra8 = ReadNetpbm(Path("p.pam"), WorldFormat::kBgra8, error);
    ASSERT_TRUE(bgra8) << error;
    EXPECT_EQ(std::vector<std::uint8_t>(bgra8->Pixel(0, 0), bgra8->Pixel(0, 0) + 4),
              (std::vector<std::uint8_t>{30, 20, 10, 255}));
    auto argb16 = ReadNetpbm(Path("p.pam"), WorldFormat::kArgb16, error);
    ASSERT_TRUE(argb16) << error;
    const auto* deep = reinterpret_cast<const std::uint16_t*>(argb16->Pixel(0, 0));
    EXPECT_EQ(deep[0], 32768);
    EXPECT_EQ(deep[1], FileToWorld16(10 * 257));
    auto bgra_float = ReadNetpbm(Path("p.pam"), WorldFormat::kBgraFloat, error);
    ASSERT_TRUE(bgra_float) << error;
    const auto* floats = reinterpret_cast<const float*>(bgra_float->Pixel(0, 0));
    EXPECT_EQ(floats[2], 10.0f / 255.0f);
    EXPECT_EQ(floats[3], 1.0f);
}

TEST_F(NetpbmFiles, GreyWithoutAlphaBecomesOpaqueGrey) {
    std::vector<std::uint8_t> bytes = Bytes("P5\n1 1\n65535\n", 0);
    for (std::uint8_t b : {0x80, 0x80}) bytes.push_back(b);
    Write("g.pgm", bytes);
    std::string error;
    auto world = ReadNetpbm(Path("g.pgm"), WorldFormat::kArgb8, error);
    ASSERT_TRUE(world) << error;
    // 0x8080 = 32896 -> round(32896 * 255 / 65535) = 128.
    EXPECT_EQ(std::vector<std::uint8_t>(world->Pixel(0, 0), world->Pixel(0, 0) + 4),
              (std::vector<std::uint8_t>{255, 128, 128, 128}));
}

TEST_F(NetpbmFiles, WorldsSurviveTheWayOutAndBack) {
    for (WorldFormat format : {WorldFormat::kArgb8, WorldFormat::kArgb16, WorldFormat::kBgra8}) {
        World world(format, 4, 3);
        std::vector<std::uint8_t> packed(world.image_row_bytes() * 3);
        for (std::size_t i = 0; i < packed.size(); ++i) packed[i] = static_cast<std::uint8_t>(i * 29);
        if (format == WorldFormat::kArgb16) {  // host 16-bit values run 0..32768
            auto* values = reinterpret_cast<std::uint16_t*>(packed.data());
            for (std::size_t i = 0; i < packed.size() / 2; ++i) values[i] = static_cast<std::uint16_t>(i * 2731 % 32769);
        }
        world.SetPackedPixels(packed.data());
        std::string error;
        ASSERT_TRUE(WriteNetpbm(world, Path("out.pam"), "out.pam", error)) << error;
        auto back = ReadNetpbm(Path("out.pam"), format, error);
        ASSERT_TRUE(back) << error;
        EXPECT_EQ(back->PackedPixels(), packed) << hostsim::WorldFormatName(format);
    }
}

TEST_F(NetpbmFiles, PpmDropsAlphaAndOtherExtensionsAreRefused) {
    World world(WorldFormat::kArgb8, 1, 1);
    const std::uint8_t pixel[4] = {0, 1, 2, 3};
    world.SetPackedPixels(pixel);
    std::string error;
    ASSERT_TRUE(WriteNetpbm(world, Path("tmp"), "out.PPM", error)) << error;
    auto back = ReadNetpbm(Path("tmp"), WorldFormat::kArgb8, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(std::vector<std::uint8_t>(back->Pixel(0, 0), back->Pixel(0, 0) + 4), (std::vector<std::uint8_t>{255, 1, 2, 3}));
    EXPECT_FALSE(WriteNetpbm(world, Path("x.pgm"), "x.pgm", error));
    EXPECT_NE(error.find(".pam"), std::string::npos) << error;
    EXPECT_FALSE(ReadNetpbm(Path("missing.pam"), WorldFormat::kArgb8, error));
    EXPECT_NE(error.find("missing.pam"), std::string::npos) << error;
}

TEST(NetpbmPath, KnowsTheNetpbmExtensionsInAnyCase) {
    for (const char* path : {"a.pam", "b.PPM", "dir.x/c.pgm", "d.Pnm"}) EXPECT_TRUE(IsNetpbmPath(path)) << path;
    for (const char* path : {"a.png", "pam", "dir.pam/file", "a.pam.png", ""}) EXPECT_FALSE(IsNetpbmPath(path)) << path;
}

}  // namespace
}  // namespace qxv::cli
