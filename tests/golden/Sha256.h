// SHA-256 of a byte buffer, as lower-case hex, through libgcrypt: Debian builds it for Linux
// and for mingw-w64 alike, so the Windows runner hashes with the same maintained code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qxv::golden_tests {

std::string Sha256Hex(const std::uint8_t* data, std::size_t size);

}  // namespace qxv::golden_tests
