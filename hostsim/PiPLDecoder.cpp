#include "hostsim/PiPLDecoder.h"

#include <cstdio>

namespace qxv {
namespace {

constexpr std::size_t kHeaderSize = 10;    // version 16, reserved 32, count 32
constexpr std::size_t kPropertyHeader = 16;  // vendor, key, id, length

std::uint32_t Little(const std::vector<std::uint8_t>& bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[offset + i];
    return value;
}

// Codes are stored last character first.
std::string Code(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return {static_cast<char>(bytes[offset + 3]), static_cast<char>(bytes[offset + 2]),
            static_cast<char>(bytes[offset + 1]), static_cast<char>(bytes[offset])};
}

std::string Hex(std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

bool IsPascalString(const std::string& key) { return key == "name" || key == "catg" || key == "eMNA"; }
bool IsWord(const std::string& key) {
    return key == "eVER" || key == "eGLO" || key == "eGL2" || key == "aeFL";
}

// Renders one property's value; false with `error` set when its data does not fit its key.
bool DisplayValue(const std::string& key, const std::vector<std::uint8_t>& data, std::string& value,
                  std::string& error) {
    const std::size_t size = data.size();
    const auto expect_size = [&](std::size_t wanted) {
        if (size == wanted) return true;
        error = "\"" + key + "\" holds " + std::to_string(size) + " bytes, expected " + std::to_string(wanted);
        return false;
    };
    if (key == "kind") {
        if (!expect_size(4)) return false;
        value = Code(data, 0);
    } else if (IsPascalString(key)) {
        // The length may or may not count the zero bytes that pad the string.
        if (size == 0 || data[0] + 1u > size) {
            error = "\"" + key + "\" string length byte runs past its data";
            return false;
        }
        value.assign(data.begin() + 1, data.begin() + 1 + data[0]);
    } else if (key == "8664") {
        std::size_t end = 0;
        while (end < size && data[end] != 0) ++end;
        if (end == size) {
            error = "\"8664\" entry point name is not NUL-terminated";
            return false;
        }
        value.assign(data.begin(), data.begin() + end);
    } else if (key == "ePVR" || key == "eSVR") {
        if (!expect_size(4)) return false;
        value = std::to_string(Little(data, 0, 2)) + "." + std::to_string(Little(data, 2, 2));
    } else if (IsWord(key)) {
        if (!expect_size(4)) return false;
        value = Hex(Little(data, 0, 4), 8);
    } else if (key == "eINF") {
        if (!expect_size(2)) return false;
        value = Hex(Little(data, 0, 2), 4);
    } else {
        for (std::uint8_t byte : data) value += (value.empty() ? "" : " ") + Hex(byte, 2).substr(2);
    }
    return true;
}

}  // namespace

std::optional<std::vector<PiPLEntry>> DecodePiPL(const std::vector<std::uint8_t>& bytes, std::string& error) {
    if (bytes.size() < kHeaderSize) {
        error = "PiPL is truncated: " + std::to_string(bytes.size()) + " bytes, the header alone takes 10";
        return std::nullopt;
    }
    if (Little(bytes, 0, 2) != 1) {
        error = "PiPL version is " + std::to_string(Little(bytes, 0, 2)) + ", expected 1";
        return std::nullopt;
    }
    const std::uint32_t count = Little(bytes, 6, 4);
    std::vector<PiPLEntry> entries;
    std::size_t offset = kHeaderSize;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::string where = "PiPL property " + std::to_string(i + 1) + " of " + std::to_string(count);
        if (bytes.size() - offset < kPropertyHeader) {
            error = where + " is truncated";
            return std::nullopt;
        }
        if (Code(bytes, offset) != "8BIM") {
            error = where + " has vendor \"" + Code(bytes, offset) + "\", expected \"8BIM\"";
            return std::nullopt;
        }
        PiPLEntry entry;
        entry.key = Code(bytes, offset + 4);
        const std::uint64_t length = Little(bytes, offset + 12, 4);
        const std::uint64_t padded = (length + 3) / 4 * 4;
        offset += kPropertyHeader;
        if (padded > bytes.size() - offset) {
            error = where + " (\"" + entry.key + "\") claims " + std::to_string(length) + " bytes, only " +
                    std::to_string(bytes.size() - offset) + " remain";
            return std::nullopt;
        }
        entry.data.assign(bytes.begin() + offset, bytes.begin() + offset + length);
        if (!DisplayValue(entry.key, entry.data, entry.value, error)) {
            error = where + ": " + error;
            return std::nullopt;
        }
        entries.push_back(std::move(entry));
        offset += padded;
    }
    if (offset != bytes.size()) {
        error = std::to_string(bytes.size() - offset) + " bytes follow the last PiPL property";
        return std::nullopt;
    }
    return entries;
}

std::optional<std::uint32_t> PiPLWord(const std::vector<PiPLEntry>& entries, const std::string& key) {
    for (const PiPLEntry& entry : entries) {
        if (entry.key == key && entry.data.size() == 4) return Little(entry.data, 0, 4);
    }
    return std::nullopt;
}

}  // namespace qxv
