// qxv opens libqxv_openimageio.so (and through it OpenImageIO) only for an image file that
// needs it: a qxv whose directory lacks the module still does everything else, and an image
// file then fails with one line that names what could not be loaded.
#include <filesystem>

#include "ScratchFiles.h"

namespace qxv::cli_tests {
namespace {

namespace fs = std::filesystem;

const fs::path kBuildDir = fs::path(QXV_CLI_PATH).parent_path();

// qxv and the plug-in copied into `dir`, with or without the OpenImageIO module beside them.
void InstallQxv(const ScratchDir& dir, bool with_module) {
    fs::copy_file(QXV_CLI_PATH, dir / "qxv");
    fs::copy_file(kBuildDir / "QX_Vignette.so", dir / "QX_Vignette.so");
    if (with_module) fs::copy_file(kBuildDir / "libqxv_openimageio.so", dir / "libqxv_openimageio.so");
}

int RunInstalled(const ScratchDir& dir, const std::string& arguments, std::string* err) {
    const CliResult run = RunCli(Words(arguments), dir.path(), dir / "qxv");
    *err = run.err;
    return run.exit_code;
}

Image<std::uint8_t> SmallPicture() {
    Image<std::uint8_t> image{4, 3, 4, {}};
    for (int i = 0; i < 4 * 3 * 4; ++i) image.pixels.push_back(static_cast<std::uint8_t>(i * 5));
    return image;
}

TEST(LazyOpenImageIO, EverythingButImageFilesWorksWithoutTheModule) {
    ScratchDir dir;
    InstallQxv(dir, false);
    WriteBytes(dir / "frame.raw", std::vector<std::uint8_t>(8 * 8 * 4, 0x80));
    std::string err;
    const struct {
        const char* arguments;
        const char* writes;
    } kCommands[] = {
        {"info", nullptr},
        {"render --raw 8x8 --format argb8 frame.raw out.raw", "out.raw"},
        {"overlay --size 64x36 overlay.pam", "overlay.pam"},
    };
    for (const auto& command : kCommands) {
        EXPECT_EQ(RunInstalled(dir, command.arguments, &err), 0) << command.arguments << ": " << err;
        if (command.writes) {
            EXPECT_TRUE(fs::exists(dir / command.writes)) << command.arguments;
        }
    }
    // Netpbm files are qxv's own: the rendered overlay goes back in as a frame.
    EXPECT_EQ(RunInstalled(dir, "render overlay.pam rendered.pam", &err), 0) << err;
    EXPECT_EQ(ReadBytes(dir / "rendered.pam").size(), ReadBytes(dir / "overlay.pam").size());
}

TEST(LazyOpenImageIO, ImageFileWithoutTheModuleFailsWithOneLine) {
    ScratchDir dir;
    InstallQxv(dir, false);
    ASSERT_TRUE(WriteImage(dir / "in.png", SmallPicture()));
    std::string err;
    EXPECT_NE(RunInstalled(dir, "render in.png out.png", &err), 0);
    EXPECT_EQ(LineCount(err), 1) << err;
    EXPECT_NE(err.find("in.png"), std::string::npos) << err;
    EXPECT_NE(err.find("OpenImageIO cannot be loaded"), std::string::npos) << err;
    EXPECT_NE(err.find("libqxv_openimageio.so"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dir / "out.png"));
}

TEST(LazyOpenImageIO, ImageFilesGoThroughTheModuleBesideQxv) {
    ScratchDir dir;
    InstallQxv(dir, true);
    const Image<std::uint8_t> picture = SmallPicture();
    ASSERT_TRUE(WriteImage(dir / "in.png", picture));
    std::string err;
    ASSERT_EQ(RunInstalled(dir, "render --set Opacity=0 in.png out.png", &err), 0) << err;
    const Image<std::uint8_t> out = ReadImage<std::uint8_t>(dir / "out.png");
    EXPECT_EQ(out.pixels, picture.pixels);  // opacity 0: the host's copy, byte for byte
}

}  // namespace
}  // namespace qxv::cli_tests
