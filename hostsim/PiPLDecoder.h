// Decodes a PiPL resource into its properties, in stored order, with each value rendered as
// a person would read it ("eFKT", "QX Vignette", "2.0", "0x00098001"). Malformed data is
// reported with a message, never by an exception.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qxv {

struct PiPLEntry {
    std::string key;    // as the host spells it, e.g. "kind", not the stored "dnik"
    std::string value;  // display text
    std::vector<std::uint8_t> data;  // the property's data without padding
};

std::optional<std::vector<PiPLEntry>> DecodePiPL(const std::vector<std::uint8_t>& bytes, std::string& error);

// The 32-bit value of a Word property such as "eVER" or "eGLO", if present and 4 bytes long.
std::optional<std::uint32_t> PiPLWord(const std::vector<PiPLEntry>& entries, const std::string& key);

}  // namespace qxv
