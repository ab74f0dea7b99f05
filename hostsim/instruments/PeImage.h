// What a host reads of a 64-bit Windows DLL without loading it (its exports, imports and
// resources) and the decoding of the PiPL found among the resources: qxv info and the tests of
// the built artifacts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qxv {

// Reads what a host needs to know about a 64-bit Windows DLL before loading it: its exported
// names, the DLLs it imports and its resources. Input is untrusted: every offset is checked
// against the file, and failures come back as messages, never as exceptions or crashes.
struct PeSection {
    std::uint32_t virtual_address = 0;
    std::uint32_t raw_size = 0;
    std::uint32_t raw_offset = 0;
};

struct PeImage {
    std::vector<std::uint8_t> bytes;
    std::vector<PeSection> sections;
    std::vector<std::string> exported_names;
    std::vector<std::string> imported_dlls;
    std::uint32_t resource_rva = 0;  // 0 when the image has no resources
    std::uint32_t resource_size = 0;
};

// Parses a PE32+ image; on failure returns nothing and says why in `error`.
std::optional<PeImage> ReadPeImage(std::vector<std::uint8_t> bytes, std::string& error);
std::optional<PeImage> ReadPeFile(const std::string& path, std::string& error);

// The data of the resource filed under a named type (e.g. "PIPL"), an integer id and a
// language, as the host's resource lookup finds it.
std::optional<std::vector<std::uint8_t>> FindPeResource(const PeImage& image, std::string_view type_name,
                                                        std::uint16_t id, std::uint16_t language,
                                                        std::string& error);

// Decodes a PiPL resource into its properties, in stored order, with each value rendered as
// a person would read it ("eFKT", "QX Vignette", "2.0", "0x00098001"). Malformed data is
// reported with a message, never by an exception.
struct PiPLEntry {
    std::string key;    // as the host spells it, e.g. "kind", not the stored "dnik"
    std::string value;  // display text
    std::vector<std::uint8_t> data;  // the property's data without padding
};

std::optional<std::vector<PiPLEntry>> DecodePiPL(const std::vector<std::uint8_t>& bytes, std::string& error);

// The 32-bit value of a Word property such as "eVER" or "eGLO", if present and 4 bytes long.
std::optional<std::uint32_t> PiPLWord(const std::vector<PiPLEntry>& entries, const std::string& key);

}  // namespace qxv
