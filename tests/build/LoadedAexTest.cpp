// The .aex as a Windows host meets it: loaded with LoadLibraryW, its entry point found by
// name, its PiPL read through the resource functions under type "PIPL", id 16000, language
// 0x0409, byte for byte the PiPL the build generated. Runs in the Windows runner (wine).
#include <gtest/gtest.h>

#include "FileBytes.h"
#include "hostsim/PluginLibrary.h"

namespace {

#if defined(_WIN32)

using qxv::hostsim::PluginLibrary;

std::unique_ptr<PluginLibrary> LoadAex() {
    std::string error;
    auto library = PluginLibrary::Load(QXV_AEX_PATH, error);
    EXPECT_TRUE(library) << error;
    return library;
}

TEST(LoadedAex, ExportsTheEntryPoint) {
    auto library = LoadAex();
    ASSERT_TRUE(library);
    EXPECT_NE(library->entry(), nullptr);
}

TEST(LoadedAex, CarriesTheGeneratedPiPLUnderItsKey) {
    auto library = LoadAex();
    ASSERT_TRUE(library);
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(library->ReadResource("PIPL", 16000, 0x0409, bytes, error)) << error;
    const std::vector<std::uint8_t> generated = qxv::test::FileBytes(QXV_PIPL_PATH);
    ASSERT_FALSE(generated.empty()) << "cannot read " << QXV_PIPL_PATH;
    ASSERT_EQ(bytes.size(), generated.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], generated[i]) << "PiPL byte " << i;
}

TEST(LoadedAex, HasNoResourceUnderANeighbouringKey) {
    auto library = LoadAex();
    ASSERT_TRUE(library);
    struct Key {
        const char* type;
        std::uint16_t id, language;
    };
    for (const Key& key : {Key{"PIPX", 16000, 0x0409}, Key{"PIP", 16000, 0x0409}, Key{"PIPL", 16001, 0x0409},
                           Key{"PIPL", 15999, 0x0409}, Key{"PIPL", 16000, 0x0407}, Key{"PIPL", 16000, 0x0809}}) {
        std::vector<std::uint8_t> bytes;
        std::string error;
        EXPECT_FALSE(library->ReadResource(key.type, key.id, key.language, bytes, error))
            << key.type << " " << key.id << " " << key.language;
        EXPECT_NE(error.find(key.type), std::string::npos) << error;
    }
}

TEST(LoadedAex, RefusesALibraryWithoutTheEntryPoint) {
    // kernel32 is loaded in every process and exports no EntryPointFunc.
    std::string error;
    EXPECT_FALSE(PluginLibrary::Load("kernel32.dll", error));
    EXPECT_NE(error.find("EntryPointFunc"), std::string::npos) << error;
}

#else

TEST(LoadedPlugin, ASharedObjectHasNoResources) {
    std::string error;
    auto library = qxv::hostsim::PluginLibrary::Load(QXV_PLUGIN_PATH, error);
    ASSERT_TRUE(library) << error;
    std::vector<std::uint8_t> bytes;
    EXPECT_FALSE(library->ReadResource("PIPL", 16000, 0x0409, bytes, error));
    EXPECT_NE(error.find("no resources"), std::string::npos) << error;
}

#endif

}  // namespace
