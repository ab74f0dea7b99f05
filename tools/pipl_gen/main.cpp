// Writes the PiPL resource described in plugin/resources/PiPLTable.h as the exact little-endian
// bytes the host expects. Runs on the build machine; the Windows build embeds its output.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "resources/PiPLTable.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Append16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Append32(Bytes& out, std::uint32_t value) {
    Append16(out, value);
    Append16(out, value >> 16);
}

// Vendor codes, keys and four-character values are all stored last character first.
void AppendReversedCode(Bytes& out, const char* code) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(code[i]));
}

void PadToFour(Bytes& data) {
    while (data.size() % 4 != 0) data.push_back(0);
}

// Returns the property's data and the length to record for it. Only the entry point name
// counts its padding. Pascal strings do not: "catg" records 10 (length byte and nine
// characters) and is followed by two zero bytes, like the 2-byte "eINF".
bool EncodeValue(const qxv::PiPLProperty& property, Bytes& data, std::uint32_t& length) {
    switch (property.data) {
        case qxv::PiPLData::FourCharCode:
            if (std::strlen(property.text) != 4) return false;
            AppendReversedCode(data, property.text);
            break;
        case qxv::PiPLData::PascalString: {
            const std::size_t count = std::strlen(property.text);
            if (count > 255) return false;
            data.push_back(static_cast<std::uint8_t>(count));
            data.insert(data.end(), property.text, property.text + count);
            break;
        }
        case qxv::PiPLData::EntryPointName:
            data.insert(data.end(), property.text, property.text + std::strlen(property.text) + 1);
            PadToFour(data);
            break;
        case qxv::PiPLData::VersionPair:
            Append16(data, property.value);
            Append16(data, property.minor);
            break;
        case qxv::PiPLData::Word16:
            Append16(data, property.value);
            break;
        case qxv::PiPLData::Word32:
            Append32(data, property.value);
            break;
    }
    length = static_cast<std::uint32_t>(data.size());
    PadToFour(data);
    return true;
}

bool SerializePiPL(Bytes& out) {
    constexpr std::size_t count = sizeof(qxv::kPiPLProperties) / sizeof(qxv::kPiPLProperties[0]);
    Append16(out, qxv::kPiPLResourceVersion);
    Append32(out, 0);  // reserved
    Append32(out, count);
    for (const qxv::PiPLProperty& property : qxv::kPiPLProperties) {
        Bytes data;
        std::uint32_t length = 0;
        if (std::strlen(property.key) != 4 || !EncodeValue(property, data, length)) {
            std::fprintf(stderr, "pipl_gen: property \"%s\" cannot be encoded\n", property.key);
            return false;
        }
        AppendReversedCode(out, qxv::kPiPLVendor);
        AppendReversedCode(out, property.key);
        Append32(out, 0);  // property id
        Append32(out, length);
        out.insert(out.end(), data.begin(), data.end());
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.pipl\n", argv[0]);
        return 2;
    }
    Bytes bytes;
    if (!SerializePiPL(bytes)) return 1;
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "pipl_gen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
