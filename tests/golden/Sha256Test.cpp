// The digests published for SHA-256 (FIPS 180-4 examples): the hashes of the golden frames
// are only as good as the function that makes them.
#include <gtest/gtest.h>

#include <string>

#include "Sha256.h"

namespace qxv::golden_tests {
namespace {

struct KnownDigest {
    std::string message;
    const char* digest;
};

TEST(Sha256Test, GivesThePublishedDigests) {
    const KnownDigest known[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const KnownDigest& k : known) {
        EXPECT_EQ(Sha256Hex(reinterpret_cast<const std::uint8_t*>(k.message.data()), k.message.size()), k.digest)
            << "message of " << k.message.size() << " bytes";
    }
}

}  // namespace
}  // namespace qxv::golden_tests
