#include "Sha256.h"

#include <gcrypt.h>

namespace qxv::golden_tests {
namespace {

// libgcrypt wants its version check before first use; hashing needs no secure memory.
void InitialiseOnce() {
    static const bool ready = [] {
        gcry_check_version(nullptr);
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    (void)ready;
}

}  // namespace

std::string Sha256Hex(const std::uint8_t* data, std::size_t size) {
    InitialiseOnce();
    unsigned char digest[32];
    gcry_md_hash_buffer(GCRY_MD_SHA256, digest, data, size);
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 15];
    }
    return hex;
}

}  // namespace qxv::golden_tests
