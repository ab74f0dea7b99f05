#include "hostsim/instruments/PeImage.h"

#include <fstream>
#include <iterator>

namespace qxv {

namespace {

constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint32_t kExportDirectory = 0, kImportDirectory = 1, kResourceDirectory = 2;
constexpr std::uint32_t kResourceSubdirectory = 0x80000000u;  // high bit of an entry's data field
constexpr std::uint32_t kResourceNamed = 0x80000000u;         // high bit of an entry's name field
// Names longer than this are not names but a missing terminator in corrupt data.
constexpr std::size_t kMaxNameLength = 4096;

bool Read16(const std::vector<std::uint8_t>& bytes, std::uint64_t offset, std::uint16_t& value) {
    if (offset + 2 > bytes.size()) return false;
    value = static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
    return true;
}

bool Read32(const std::vector<std::uint8_t>& bytes, std::uint64_t offset, std::uint32_t& value) {
    std::uint16_t low = 0, high = 0;
    if (!Read16(bytes, offset, low) || !Read16(bytes, offset + 2, high)) return false;
    value = static_cast<std::uint32_t>(low) | static_cast<std::uint32_t>(high) << 16;
    return true;
}

// File offset of `size` bytes at `rva`, when they lie wholly in one section's file data.
std::optional<std::uint64_t> RvaToOffset(const PeImage& image, std::uint64_t rva, std::uint64_t size) {
    for (const PeSection& section : image.sections) {
        if (rva < section.virtual_address) continue;
        const std::uint64_t inside = rva - section.virtual_address;
        if (inside + size > section.raw_size) continue;
        const std::uint64_t offset = section.raw_offset + inside;
        if (offset + size > image.bytes.size()) return std::nullopt;
        return offset;
    }
    return std::nullopt;
}

bool ReadCString(const PeImage& image, std::uint32_t rva, std::string& out) {
    out.clear();
    for (std::uint64_t i = 0; i < kMaxNameLength; ++i) {
        const std::optional<std::uint64_t> offset = RvaToOffset(image, std::uint64_t{rva} + i, 1);
        if (!offset) return false;
        const char c = static_cast<char>(image.bytes[*offset]);
        if (c == '\0') return true;
        out.push_back(c);
    }
    return false;
}

bool ReadExports(PeImage& image, std::uint32_t rva, std::string& error) {
    std::uint32_t count = 0, names_rva = 0;
    const std::optional<std::uint64_t> directory = RvaToOffset(image, rva, 40);
    if (!directory || !Read32(image.bytes, *directory + 24, count) ||
        !Read32(image.bytes, *directory + 32, names_rva)) {
        error = "export directory lies outside the file's sections";
        return false;
    }
    const std::optional<std::uint64_t> names = RvaToOffset(image, names_rva, std::uint64_t{count} * 4);
    if (!names) {
        error = "export name table lies outside the file's sections";
        return false;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t name_rva = 0;
        std::string name;
        if (!Read32(image.bytes, *names + std::uint64_t{i} * 4, name_rva) || !ReadCString(image, name_rva, name)) {
            error = "export name " + std::to_string(i) + " is not a terminated string inside the file";
            return false;
        }
        image.exported_names.push_back(name);
    }
    return true;
}

bool ReadImports(PeImage& image, std::uint32_t rva, std::string& error) {
    constexpr std::uint64_t kDescriptorSize = 20;
    for (std::uint64_t i = 0;; ++i) {
        const std::optional<std::uint64_t> descriptor = RvaToOffset(image, rva + i * kDescriptorSize, kDescriptorSize);
        if (!descriptor) {
            error = "import table is not terminated inside its section";
            return false;
        }
        bool all_zero = true;
        for (std::uint64_t b = 0; b < kDescriptorSize; ++b) all_zero = all_zero && image.bytes[*descriptor + b] == 0;
        if (all_zero) return true;
        std::uint32_t name_rva = 0;
        std::string name;
        if (!Read32(image.bytes, *descriptor + 12, name_rva) || !ReadCString(image, name_rva, name)) {
            error = "import " + std::to_string(i) + " has no readable DLL name";
            return false;
        }
        image.imported_dlls.push_back(name);
    }
}

bool ResourceNameEquals(const PeImage& image, std::uint32_t name_offset, std::string_view wanted) {
    std::uint16_t length = 0;
    const std::uint64_t rva = std::uint64_t{image.resource_rva} + name_offset;
    const std::optional<std::uint64_t> offset = RvaToOffset(image, rva, 2);
    if (!offset || !Read16(image.bytes, *offset, length) || length != wanted.size()) return false;
    const std::optional<std::uint64_t> text = RvaToOffset(image, rva + 2, std::uint64_t{length} * 2);
    if (!text) return false;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        std::uint16_t unit = 0;
        Read16(image.bytes, *text + i * 2, unit);
        if (unit != static_cast<unsigned char>(wanted[i])) return false;
    }
    return true;
}

// Looks through one level of the resource tree for an entry named `name` (or numbered `id`
// when `name` is empty) and returns that entry's data field.
std::optional<std::uint32_t> FindResourceEntry(const PeImage& image, std::uint32_t directory, std::string_view name,
                                               std::uint32_t id, std::string& error) {
    const std::uint64_t rva = std::uint64_t{image.resource_rva} + directory;
    std::uint16_t named = 0, numbered = 0;
    const std::optional<std::uint64_t> header = RvaToOffset(image, rva, 16);
    if (!header || !Read16(image.bytes, *header + 12, named) || !Read16(image.bytes, *header + 14, numbered)) {
        error = "resource directory lies outside the resource section";
        return std::nullopt;
    }
    const std::uint64_t count = std::uint64_t{named} + numbered;
    const std::optional<std::uint64_t> entries = RvaToOffset(image, rva + 16, count * 8);
    if (!entries) {
        error = "resource directory entries lie outside the resource section";
        return std::nullopt;
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        std::uint32_t entry_name = 0, entry_data = 0;
        Read32(image.bytes, *entries + i * 8, entry_name);
        Read32(image.bytes, *entries + i * 8 + 4, entry_data);
        const bool is_named = (entry_name & kResourceNamed) != 0;
        const bool matches = name.empty() ? !is_named && entry_name == id
                                          : is_named && ResourceNameEquals(image, entry_name & ~kResourceNamed, name);
        if (matches) return entry_data;
    }
    error = "no such resource";
    return std::nullopt;
}

}  // namespace

std::optional<PeImage> ReadPeImage(std::vector<std::uint8_t> bytes, std::string& error) {
    PeImage image;
    image.bytes = std::move(bytes);
    const std::vector<std::uint8_t>& b = image.bytes;

    std::uint32_t pe_offset = 0, signature = 0;
    if (b.size() < 64 || b[0] != 'M' || b[1] != 'Z' || !Read32(b, 0x3C, pe_offset)) {
        error = "not a Windows executable: no MZ header";
        return std::nullopt;
    }
    if (!Read32(b, pe_offset, signature) || signature != kPeSignature) {
        error = "not a PE image: no PE signature where the MZ header points";
        return std::nullopt;
    }
    const std::uint64_t coff = std::uint64_t{pe_offset} + 4;
    const std::uint64_t optional_header = coff + 20;
    std::uint16_t machine = 0, section_count = 0, optional_size = 0, magic = 0;
    if (!Read16(b, coff, machine) || !Read16(b, coff + 2, section_count) || !Read16(b, coff + 16, optional_size) ||
        !Read16(b, optional_header, magic)) {
        error = "PE headers are truncated";
        return std::nullopt;
    }
    if (magic != kPe32PlusMagic || machine != kMachineAmd64) {
        error = "not a 64-bit x86-64 (PE32+) image";
        return std::nullopt;
    }

    std::uint32_t directory_count = 0;
    std::uint32_t directories[3][2] = {};  // rva, size of export, import, resource
    if (optional_size < 112 || !Read32(b, optional_header + 108, directory_count)) {
        error = "optional header is truncated";
        return std::nullopt;
    }
    for (std::uint32_t i = 0; i < 3 && i < directory_count && 112 + (i + 1) * 8 <= optional_size; ++i) {
        if (!Read32(b, optional_header + 112 + i * 8, directories[i][0]) ||
            !Read32(b, optional_header + 116 + i * 8, directories[i][1])) {
            error = "data directories are truncated";
            return std::nullopt;
        }
    }

    const std::uint64_t section_table = optional_header + optional_size;
    if (section_table + std::uint64_t{section_count} * 40 > b.size()) {
        error = "section table is truncated";
        return std::nullopt;
    }
    for (std::uint64_t i = 0; i < section_count; ++i) {
        PeSection section;
        const std::uint64_t header = section_table + i * 40;
        Read32(b, header + 12, section.virtual_address);
        Read32(b, header + 16, section.raw_size);
        Read32(b, header + 20, section.raw_offset);
        image.sections.push_back(section);
    }

    if (directories[kExportDirectory][0] != 0 && !ReadExports(image, directories[kExportDirectory][0], error)) {
        return std::nullopt;
    }
    if (directories[kImportDirectory][0] != 0 && !ReadImports(image, directories[kImportDirectory][0], error)) {
        return std::nullopt;
    }
    image.resource_rva = directories[kResourceDirectory][0];
    image.resource_size = directories[kResourceDirectory][1];
    return image;
}

std::optional<PeImage> ReadPeFile(const std::string& path, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::optional<PeImage> image = ReadPeImage(std::move(bytes), error);
    if (!image) error = path + ": " + error;
    return image;
}

std::optional<std::vector<std::uint8_t>> FindPeResource(const PeImage& image, std::string_view type_name,
                                                        std::uint16_t id, std::uint16_t language,
                                                        std::string& error) {
    if (type_name.empty()) {
        error = "resource type name is empty";
        return std::nullopt;
    }
    if (image.resource_rva == 0) {
        error = "the image has no resources";
        return std::nullopt;
    }
    // Three levels: type, then id, then language; the first two must lead to subdirectories.
    std::uint32_t directory = 0;
    const std::string_view names[2] = {type_name, {}};
    const std::uint32_t ids[2] = {0, id};
    for (int level = 0; level < 2; ++level) {
        const std::optional<std::uint32_t> entry = FindResourceEntry(image, directory, names[level], ids[level], error);
        if (!entry) return std::nullopt;
        if ((*entry & kResourceSubdirectory) == 0) {
            error = "resource tree is malformed: expected a subdirectory";
            return std::nullopt;
        }
        directory = *entry & ~kResourceSubdirectory;
    }
    const std::optional<std::uint32_t> leaf = FindResourceEntry(image, directory, {}, language, error);
    if (!leaf) return std::nullopt;
    if ((*leaf & kResourceSubdirectory) != 0) {
        error = "resource tree is malformed: expected data, found a subdirectory";
        return std::nullopt;
    }
    std::uint32_t data_rva = 0, data_size = 0;
    const std::optional<std::uint64_t> data_entry = RvaToOffset(image, std::uint64_t{image.resource_rva} + *leaf, 16);
    if (!data_entry || !Read32(image.bytes, *data_entry, data_rva) || !Read32(image.bytes, *data_entry + 4, data_size)) {
        error = "resource data entry lies outside the resource section";
        return std::nullopt;
    }
    const std::optional<std::uint64_t> data = RvaToOffset(image, data_rva, data_size);
    if (!data) {
        error = "resource data lies outside the file's sections";
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(image.bytes.begin() + *data, image.bytes.begin() + *data + data_size);
}

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
