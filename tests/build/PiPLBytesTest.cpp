// The PiPL is what the host reads before it ever calls us, so its bytes are pinned here
// literally rather than recomputed from the table that produced them.
#include <gtest/gtest.h>

#include "FileBytes.h"
#include "hostsim/PluginLibrary.h"
#include "hostsim/instruments/PeImage.h"

namespace {

const std::vector<std::uint8_t> kExpectedPiPL = {
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x00,  // version 1, reserved, 12 properties
    'M', 'I', 'B', '8', 'd', 'n', 'i', 'k', 0, 0, 0, 0, 4, 0, 0, 0,  //
    'T', 'K', 'F', 'e',                                               // eFKT
    'M', 'I', 'B', '8', 'e', 'm', 'a', 'n', 0, 0, 0, 0, 12, 0, 0, 0,  //
    11, 'Q', 'X', ' ', 'V', 'i', 'g', 'n', 'e', 't', 't', 'e',        //
    'M', 'I', 'B', '8', 'g', 't', 'a', 'c', 0, 0, 0, 0, 10, 0, 0, 0,  // length leaves out the padding
    9, 'Q', 'u', 'i', 'l', 'l', 'm', 'o', 'o', 'r', 0, 0,             //
    'M', 'I', 'B', '8', '4', '6', '6', '8', 0, 0, 0, 0, 16, 0, 0, 0,  // length counts the padding
    'E', 'n', 't', 'r', 'y', 'P', 'o', 'i', 'n', 't', 'F', 'u', 'n', 'c', 0, 0,
    'M', 'I', 'B', '8', 'R', 'V', 'P', 'e', 0, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0,
    'M', 'I', 'B', '8', 'R', 'V', 'S', 'e', 0, 0, 0, 0, 4, 0, 0, 0, 13, 0, 2, 0,
    'M', 'I', 'B', '8', 'R', 'E', 'V', 'e', 0, 0, 0, 0, 4, 0, 0, 0, 0x01, 0x80, 0x09, 0x00,
    'M', 'I', 'B', '8', 'F', 'N', 'I', 'e', 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0,
    'M', 'I', 'B', '8', 'O', 'L', 'G', 'e', 0, 0, 0, 0, 4, 0, 0, 0, 0x00, 0x84, 0x00, 0x06,
    'M', 'I', 'B', '8', '2', 'L', 'G', 'e', 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0,
    'M', 'I', 'B', '8', 'A', 'N', 'M', 'e', 0, 0, 0, 0, 12, 0, 0, 0,  //
    11, 'Z', 'V', ' ', 'V', 'i', 'g', 'n', 'e', 't', 't', 'e',        //
    'M', 'I', 'B', '8', 'L', 'F', 'e', 'a', 0, 0, 0, 0, 4, 0, 0, 0, 8, 0, 0, 0,
};

TEST(GeneratedPiPL, IsExactlyTheBytesTheHostExpects) {
    const std::vector<std::uint8_t> bytes = qxv::test::FileBytes(QXV_PIPL_PATH);
    ASSERT_FALSE(bytes.empty()) << "missing " << QXV_PIPL_PATH;
    EXPECT_EQ(bytes, kExpectedPiPL);
}

TEST(GeneratedPiPL, DecodesToTheEffectIdentityInOrder) {
    std::string error;
    const auto entries = qxv::DecodePiPL(qxv::test::FileBytes(QXV_PIPL_PATH), error);
    ASSERT_TRUE(entries) << error;
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"kind", "eFKT"},       {"name", "QX Vignette"}, {"catg", "Quillmoor"},  {"8664", "EntryPointFunc"},
        {"ePVR", "2.0"},        {"eSVR", "13.2"},        {"eVER", "0x00098001"}, {"eINF", "0x0000"},
        {"eGLO", "0x06008400"}, {"eGL2", "0x00000000"},  {"eMNA", "ZV Vignette"}, {"aeFL", "0x00000008"},
    };
    ASSERT_EQ(entries->size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ((*entries)[i].key, expected[i].first) << "property " << i + 1;
        EXPECT_EQ((*entries)[i].value, expected[i].second) << "property " << i + 1;
    }
}

// Offsets into kExpectedPiPL of the fields the malformed cases damage.
constexpr std::size_t kCount = 6, kKindLength = 22, kNameLengthByte = 46, kEntryPointNul = 116,
                      kCatgLength = 70;

std::vector<std::uint8_t> With(std::size_t offset, std::vector<std::uint8_t> patch) {
    std::vector<std::uint8_t> bytes = kExpectedPiPL;
    std::copy(patch.begin(), patch.end(), bytes.begin() + offset);
    return bytes;
}

TEST(PiPLDecoder, RejectsMalformedData) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        const char* message;
    };
    std::vector<std::uint8_t> trailing = kExpectedPiPL;
    trailing.insert(trailing.end(), {0, 0, 0, 0});
    const Case cases[] = {
        {"empty", {}, "header"},
        {"header cut short", {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x00, 0x00}, "header"},
        {"unknown format version", With(0, {2}), "version"},
        {"more properties than present", With(kCount, {13}), "property 13 of 13 is truncated"},
        {"fewer properties than present", With(kCount, {11}), "follow the last"},
        {"vendor not 8BIM", With(10, {'X'}), "vendor"},
        {"kind of three bytes", With(kKindLength, {3}), "expected 4"},
        {"length beyond the end", With(kKindLength, {0xFF, 0xFF, 0xFF, 0xFF}), "remain"},
        {"string longer than its property", With(kNameLengthByte, {12}), "length byte"},
        {"entry point without NUL", With(kEntryPointNul, {'x', 'x'}), "NUL"},
        {"bytes after the last property", trailing, "follow the last"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(qxv::DecodePiPL(c.bytes, error)) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
    }
}

TEST(PiPLDecoder, RejectsEveryTruncation) {
    for (std::size_t size = 0; size < kExpectedPiPL.size(); ++size) {
        std::string error;
        const std::vector<std::uint8_t> cut(kExpectedPiPL.begin(), kExpectedPiPL.begin() + size);
        EXPECT_FALSE(qxv::DecodePiPL(cut, error)) << size << " bytes";
        EXPECT_FALSE(error.empty()) << size << " bytes";
    }
}

// Whether a padded string's length counts its padding is the writer's choice; both must decode.
TEST(PiPLDecoder, AcceptsStringLengthThatCountsPadding) {
    std::string error;
    const auto entries = qxv::DecodePiPL(With(kCatgLength, {12}), error);
    ASSERT_TRUE(entries) << error;
    EXPECT_EQ((*entries)[2].value, "Quillmoor");
}

}  // namespace
