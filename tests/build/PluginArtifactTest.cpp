// What a host sees of the built libraries before calling into them: one exported entry
// point, no runtime DLLs it would have to find beside the .aex, and a PiPL that agrees
// with what GlobalSetup reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>
#include <sstream>

#include "FileBytes.h"
#include "hostsim/PluginLibrary.h"
#include "hostsim/instruments/PeImage.h"
#include "resources/EffectIdentity.h"

namespace {

constexpr std::uint16_t kPiPLResourceId = 16000;
constexpr std::uint16_t kEnglishUS = 0x0409;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// Windows components every 64-bit Windows has. A mingw runtime DLL (libstdc++-6.dll,
// libgcc_s_seh-1.dll, libwinpthread-1.dll) here would make the host fail to load the effect.
bool IsWindowsSystemDll(const std::string& name) {
    const std::string dll = Lower(name);
    static const std::set<std::string> kSystemDlls = {"kernel32.dll", "msvcrt.dll", "ucrtbase.dll"};
    return kSystemDlls.count(dll) != 0 || dll.rfind("api-ms-win-", 0) == 0;
}

qxv::PeImage ReadAex() {
    std::string error;
    std::optional<qxv::PeImage> image = qxv::ReadPeFile(QXV_AEX_PATH, error);
    if (!image) ADD_FAILURE() << error;
    return image.value_or(qxv::PeImage{});
}

class WindowsPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::string(QXV_AEX_PATH).empty()) GTEST_SKIP() << "configured without the Windows sub-build";
    }
};

TEST_F(WindowsPlugin, ExportsOnlyTheEntryPoint) {
    EXPECT_EQ(ReadAex().exported_names, std::vector<std::string>{"EntryPointFunc"});
}

TEST_F(WindowsPlugin, ImportsOnlyWindowsSystemDlls) {
    const qxv::PeImage image = ReadAex();
    EXPECT_FALSE(image.imported_dlls.empty());
    for (const std::string& dll : image.imported_dlls) EXPECT_TRUE(IsWindowsSystemDll(dll)) << dll;
}

TEST_F(WindowsPlugin, CarriesTheGeneratedPiPLAgreeingWithGlobalSetup) {
    std::string error;
    const auto resource = qxv::FindPeResource(ReadAex(), "PIPL", kPiPLResourceId, kEnglishUS, error);
    ASSERT_TRUE(resource) << error;
    EXPECT_EQ(*resource, qxv::test::FileBytes(QXV_PIPL_PATH));

    const auto entries = qxv::DecodePiPL(*resource, error);
    ASSERT_TRUE(entries) << error;
    EXPECT_EQ(qxv::PiPLWord(*entries, "eVER"), qxv::kEffectVersion);
    EXPECT_EQ(qxv::PiPLWord(*entries, "eGLO"), qxv::kGlobalOutFlags);
    EXPECT_EQ(qxv::PiPLWord(*entries, "eGL2"), qxv::kGlobalOutFlags2);
}

TEST_F(WindowsPlugin, FindsNoResourceUnderAnotherKey) {
    const qxv::PeImage image = ReadAex();
    struct Key {
        const char* type;
        std::uint16_t id, language;
    };
    for (const Key& key : {Key{"PIPX", kPiPLResourceId, kEnglishUS}, Key{"PIPL", 16001, kEnglishUS},
                           Key{"PIPL", kPiPLResourceId, 0x0407}, Key{"", kPiPLResourceId, kEnglishUS}}) {
        std::string error;
        EXPECT_FALSE(qxv::FindPeResource(image, key.type, key.id, key.language, error)) << key.type << key.id;
        EXPECT_FALSE(error.empty());
    }
}

#if !defined(_WIN32)  // the Windows runner's plug-in is the .aex
// The symbols `nm` lists with `options`, their names demangled.
std::vector<std::string> Symbols(const std::string& path, const std::string& options) {
    std::vector<std::string> names;
    FILE* pipe = popen(("nm -C " + options + " '" + path + "'").c_str(), "r");
    if (!pipe) return names;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe)) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type && std::getline(fields >> std::ws, name)) names.push_back(name);
    }
    EXPECT_EQ(pclose(pipe), 0) << "nm failed on " << path;
    return names;
}

TEST(LinuxPlugin, ExportsOnlyTheEntryPoint) {
    EXPECT_EQ(Symbols(QXV_PLUGIN_PATH, "-D --defined-only"), std::vector<std::string>{"EntryPointFunc"});
}

#if defined(QXV_FREI0R_MODULE_PATH)
// The module that ships renders through the host library's runtime only: nothing of the
// simulator's instruments (trace, accounting, failure rules, the overlay's recording, the
// reports) is linked in.
TEST(Frei0rModule, CarriesNoneOfTheHostSimulatorsInstruments) {
    const std::vector<std::string> symbols = Symbols(QXV_FREI0R_MODULE_PATH, "--defined-only");
    const auto defines = [&](const std::string& part) {
        return std::any_of(symbols.begin(), symbols.end(),
                           [&](const std::string& name) { return name.find(part) != std::string::npos; });
    };
    ASSERT_TRUE(defines("qxv::hostsim::Session::Send")) << "the module's symbol table cannot be read";
    for (const char* instrument : {"FailureInjection", "SuiteAccounting", "HostTrace", "DrawbotRecorder",
                                   "qxv::hostsim::Host::", "EventSession", "PeImage", "nlohmann"}) {
        EXPECT_FALSE(defines(instrument)) << instrument;
    }
}
#endif
#endif

}  // namespace
