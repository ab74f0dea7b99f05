// The PE reader looks at files a user points qxv at, so damaged input must come back as an
// error message, never as a crash or as data read from outside the file. The built .aex is
// the specimen; each case damages one structure the reader walks.
#include <gtest/gtest.h>

#include <cstring>

#include "FileBytes.h"
#include "hostsim/PluginLibrary.h"
#include "hostsim/instruments/PeImage.h"

namespace {

constexpr std::uint16_t kPiPLResourceId = 16000;
constexpr std::uint16_t kEnglishUS = 0x0409;

std::uint32_t Get32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, 4);  // little-endian host, as the file
    return value;
}

void Put(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

class PeReader : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::string(QXV_AEX_PATH).empty()) GTEST_SKIP() << "configured without the Windows sub-build";
        aex = qxv::test::FileBytes(QXV_AEX_PATH);
        ASSERT_GT(aex.size(), 1024u) << "missing " << QXV_AEX_PATH;
        pe = Get32(aex, 0x3C);
        optional_header = pe + 24;
        std::string error;
        const auto image = qxv::ReadPeImage(aex, error);
        ASSERT_TRUE(image) << error;
        const auto resource = qxv::FindPeResource(*image, "PIPL", kPiPLResourceId, kEnglishUS, error);
        ASSERT_TRUE(resource) << error;
        pipl = *resource;
    }

    // Offset of data directory `index` (0 exports, 1 imports, 2 resources).
    std::size_t Directory(std::size_t index) const { return optional_header + 112 + index * 8; }

    std::vector<std::uint8_t> aex, pipl;
    std::size_t pe = 0, optional_header = 0;
};

TEST_F(PeReader, RejectsDamagedHeaders) {
    struct Case {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
        std::size_t size;
        const char* message;
    };
    const std::size_t section_count = pe + 6;
    const Case cases[] = {
        {"no MZ", 0, 'X', 1, "MZ"},
        {"PE header past the end", 0x3C, 0xFFFFFFF0u, 4, "PE signature"},
        {"PE signature damaged", pe, 'X', 1, "PE signature"},
        {"32-bit machine", pe + 4, 0x14C, 2, "64-bit"},
        {"32-bit optional header", optional_header, 0x10B, 2, "64-bit"},
        {"optional header too small", pe + 20, 8, 2, "truncated"},
        {"section table past the end", section_count, 0xFFFF, 2, "section table"},
        {"export directory outside every section", Directory(0), 0x7FFFFFF0u, 4, "export directory"},
        {"import table outside every section", Directory(1), 0x7FFFFFF0u, 4, "import table"},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = aex;
        Put(bytes, c.offset, c.value, c.size);
        std::string error;
        EXPECT_FALSE(qxv::ReadPeImage(bytes, error)) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
    }
}

TEST_F(PeReader, ReportsDamagedResourceTree) {
    std::vector<std::uint8_t> bytes = aex;
    Put(bytes, Directory(2), 0x7FFFFFF0u, 4);
    std::string error;
    const auto image = qxv::ReadPeImage(bytes, error);
    ASSERT_TRUE(image) << error;
    EXPECT_FALSE(qxv::FindPeResource(*image, "PIPL", kPiPLResourceId, kEnglishUS, error));
    EXPECT_NE(error.find("resource directory"), std::string::npos) << error;
}

TEST_F(PeReader, RejectsEmptyAndMissingFiles) {
    std::string error;
    EXPECT_FALSE(qxv::ReadPeImage({}, error));
    EXPECT_FALSE(qxv::ReadPeFile(std::string(QXV_BUILD_DIR) + "/no-such.aex", error));
    EXPECT_NE(error.find("no-such.aex"), std::string::npos) << error;
}

// A cut-off file must never yield a resource other than the one in the intact file.
TEST_F(PeReader, TruncatedFilesFailOrFindTheSameResource) {
    for (std::size_t size = 0; size < aex.size(); size += size < 4096 ? 61 : 4099) {
        std::string error;
        const auto image = qxv::ReadPeImage({aex.begin(), aex.begin() + size}, error);
        if (!image) {
            EXPECT_FALSE(error.empty()) << size;
            continue;
        }
        const auto resource = qxv::FindPeResource(*image, "PIPL", kPiPLResourceId, kEnglishUS, error);
        if (resource) {
            EXPECT_EQ(*resource, pipl) << size;
        }
    }
}

// Every header byte set to 0xFF in turn: the reader may accept or refuse, but must stay in bounds.
TEST_F(PeReader, SurvivesEachHeaderByteDamaged) {
    std::vector<std::uint8_t> bytes = aex;
    for (std::size_t offset = 0; offset < optional_header + 240 + 40 * 16 && offset < aex.size(); ++offset) {
        bytes[offset] = 0xFF;
        std::string error;
        if (const auto image = qxv::ReadPeImage(bytes, error)) {
            qxv::FindPeResource(*image, "PIPL", kPiPLResourceId, kEnglishUS, error);
        } else {
            EXPECT_FALSE(error.empty()) << offset;
        }
        bytes[offset] = aex[offset];
    }
}

}  // namespace
