#include "cli/images/NetpbmFiles.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iterator>

namespace qxv::cli {

using hostsim::World;
using hostsim::WorldFormat;

namespace {

// Large enough for 8K frames, small enough that a world of this size can be allocated.
constexpr long long kMaxSide = 65536;
constexpr long long kMaxPixels = 1LL << 26;

struct TupleType {
    const char* name;
    int channels;
};
constexpr TupleType kTupleTypes[] = {{"GRAYSCALE", 1}, {"GRAYSCALE_ALPHA", 2}, {"RGB", 3}, {"RGB_ALPHA", 4}};

class HeaderReader {
public:
    HeaderReader(const std::vector<std::uint8_t>& bytes, std::size_t pos) : bytes_(bytes), pos_(pos) {}

    std::size_t pos() const { return pos_; }
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    int Peek() const { return AtEnd() ? -1 : bytes_[pos_]; }
    void Skip() { ++pos_; }

    // Whitespace and comments (from '#' to the end of the line) between PPM/PGM header fields.
    void SkipSpaceAndComments() {
        while (!AtEnd()) {
            if (Peek() == '#') {
                while (!AtEnd() && Peek() != '\n') Skip();
            } else if (std::isspace(Peek())) {
                Skip();
            } else {
                break;
            }
        }
    }
    void SkipBlanks() {
        while (Peek() == ' ' || Peek() == '\t' || Peek() == '\r') Skip();
    }
    bool Number(long long& value) {
        if (!std::isdigit(Peek())) return false;
        value = 0;
        while (std::isdigit(Peek())) {
            value = value * 10 + (Peek() - '0');
            if (value > kMaxPixels) return false;
            Skip();
        }
        return true;
    }
    std::string Word() {
        std::string word;
        while (!AtEnd() && !std::isspace(Peek())) {
            word += static_cast<char>(Peek());
            Skip();
        }
        return word;
    }
    void SkipLine() {
        while (!AtEnd() && Peek() != '\n') Skip();
        if (!AtEnd()) Skip();
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t pos_;
};

bool ReadPpmHeader(HeaderReader& in, int channels, NetpbmImage& image, std::string& error) {
    long long fields[3] = {};
    for (long long& field : fields) {
        in.SkipSpaceAndComments();
        if (!in.Number(field)) {
            error = "the header's width, height and maxval are not all numbers";
            return false;
        }
    }
    // Exactly one whitespace byte separates the header from the raster.
    if (!std::isspace(in.Peek())) {
        error = "no whitespace after the header";
        return false;
    }
    in.Skip();
    image.width = static_cast<int>(std::min(fields[0], kMaxSide + 1));
    image.height = static_cast<int>(std::min(fields[1], kMaxSide + 1));
    image.maxval = static_cast<int>(std::min(fields[2], 65536LL));
    image.channels = channels;
    return true;
}

bool ReadPamHeader(HeaderReader& in, NetpbmImage& image, std::string& error) {
    long long width = -1, height = -1, depth = -1, maxval = -1;
    std::string tuple_type;
    for (;;) {
        in.SkipSpaceAndComments();
        if (in.AtEnd()) {
            error = "the header has no ENDHDR line";
            return false;
        }
        const std::string key = in.Word();
        if (key == "ENDHDR") {
            in.SkipBlanks();
            if (in.Peek() != '\n') {
                error = "ENDHDR is not alone on its line";
                return false;
            }
            in.Skip();
            break;
        }
        in.SkipBlanks();
        long long* number = key == "WIDTH" ? &width : key == "HEIGHT" ? &height : key == "DEPTH" ? &depth
                          : key == "MAXVAL" ? &maxval : nullptr;
        if (number) {
            if (!in.Number(*number)) {
                error = key + " is not a number";
                return false;
            }
        } else if (key == "TUPLTYPE") {
            tuple_type = in.Word();
        } else {
            error = "unknown header line " + key;
            return false;
        }
        in.SkipLine();
    }
    if (width < 0 || height < 0 || depth < 0 || maxval < 0) {
        error = "the header lacks one of WIDTH, HEIGHT, DEPTH and MAXVAL";
        return false;
    }
    if (depth < 1 || depth > 4) {
        error = "DEPTH " + std::to_string(depth) + " is not 1 to 4 (grey, grey and alpha, RGB, RGBA)";
        return false;
    }
    if (!tuple_type.empty()) {
        const auto known = std::find_if(std::begin(kTupleTypes), std::end(kTupleTypes),
                                        [&](const TupleType& t) { return tuple_type == t.name; });
        if (known == std::end(kTupleTypes) || known->channels != depth) {
            error = "TUPLTYPE " + tuple_type + " with DEPTH " + std::to_string(depth) + " is not supported";
            return false;
        }
    }
    image.width = static_cast<int>(std::min(width, kMaxSide + 1));
    image.height = static_cast<int>(std::min(height, kMaxSide + 1));
    image.channels = static_cast<int>(depth);
    image.maxval = static_cast<int>(std::min(maxval, 65536LL));
    return true;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, bool& ok) {
    std::ifstream file(path, std::ios::binary);
    ok = static_cast<bool>(file);
    return ok ? std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>())
              : std::vector<std::uint8_t>();
}

bool LoadFile(const std::string& path, NetpbmImage& image, bool header_only, std::string& error) {
    bool opened = false;
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path, opened);
    if (!opened) {
        error = "cannot read image " + path + " (check the path)";
        return false;
    }
    std::size_t raster = 0;
    const bool ok = header_only ? DecodeNetpbmHeader(bytes, image, raster, error) : DecodeNetpbm(bytes, image, error);
    if (!ok) error = "cannot read image " + path + ": " + error;
    return ok;
}

template <class T, class Convert>
void FillWorld(World& world, const NetpbmImage& image, T opaque, Convert convert) {
    const hostsim::ChannelOrder order = hostsim::ChannelOrderOf(world.format());
    const int n = image.channels;
    const int green = n < 3 ? 0 : 1, blue = n < 3 ? 0 : 2, alpha = n == 2 || n == 4 ? n - 1 : -1;
    const std::uint16_t* in = image.samples.data();
    for (A_long y = 0; y < world.height(); ++y) {
        T* out = reinterpret_cast<T*>(world.Row(y));
        for (A_long x = 0; x < world.width(); ++x, out += 4, in += n) {
            out[order.red] = convert(in[0]);
            out[order.green] = convert(in[green]);
            out[order.blue] = convert(in[blue]);
            out[order.alpha] = alpha >= 0 ? convert(in[alpha]) : opaque;
        }
    }
}

template <class T, class Convert>
void PackWorld(const World& world, NetpbmImage& image, Convert convert) {
    const hostsim::ChannelOrder order = hostsim::ChannelOrderOf(world.format());
    const int offsets[4] = {order.red, order.green, order.blue, order.alpha};
    std::uint16_t* out = image.samples.data();
    for (A_long y = 0; y < world.height(); ++y) {
        const T* in = reinterpret_cast<const T*>(world.Row(y));
        for (A_long x = 0; x < world.width(); ++x, in += 4) {
            for (int c = 0; c < image.channels; ++c) *out++ = convert(in[offsets[c]]);
        }
    }
}

}  // namespace

bool IsNetpbmPath(const std::string& path) {
    const std::string extension = LowerExtension(path);
    return extension == ".pam" || extension == ".ppm" || extension == ".pgm" || extension == ".pnm";
}

bool DecodeNetpbmHeader(const std::vector<std::uint8_t>& bytes, NetpbmImage& image, std::size_t& raster_offset,
                        std::string& error) {
    image = NetpbmImage{};
    if (bytes.size() < 3 || bytes[0] != 'P' || !std::isspace(bytes[2])) {
        error = "not a Netpbm file (no P5, P6 or P7 at its start)";
        return false;
    }
    HeaderReader in(bytes, 2);
    bool read = false;
    switch (bytes[1]) {
        case '5': read = ReadPpmHeader(in, 1, image, error); break;
        case '6': read = ReadPpmHeader(in, 3, image, error); break;
        case '7': read = ReadPamHeader(in, image, error); break;
        default: error = std::string("Netpbm kind P") + static_cast<char>(bytes[1]) + " is not read (P5, P6, P7 are)";
    }
    if (!read) return false;
    if (image.width < 1 || image.height < 1 || image.width > kMaxSide || image.height > kMaxSide ||
        static_cast<long long>(image.width) * image.height > kMaxPixels) {
        error = "size " + std::to_string(image.width) + "x" + std::to_string(image.height) + " is out of range";
        return false;
    }
    if (image.maxval != 255 && image.maxval != 65535) {
        error = "maxval " + std::to_string(image.maxval) + " is not read (255 and 65535 are)";
        return false;
    }
    raster_offset = in.pos();
    return true;
}

bool DecodeNetpbm(const std::vector<std::uint8_t>& bytes, NetpbmImage& image, std::string& error) {
    std::size_t offset = 0;
    if (!DecodeNetpbmHeader(bytes, image, offset, error)) return false;
    const std::size_t count = static_cast<std::size_t>(image.width) * image.height * image.channels;
    const std::size_t sample_bytes = image.maxval > 255 ? 2 : 1;
    if (bytes.size() - offset < count * sample_bytes) {
        error = "the file ends inside the pixels (" + std::to_string(bytes.size() - offset) + " of " +
                std::to_string(count * sample_bytes) + " bytes)";
        return false;
    }
    image.samples.resize(count);
    const std::uint8_t* in = bytes.data() + offset;
    for (std::size_t i = 0; i < count; ++i) {
        image.samples[i] = sample_bytes == 1 ? in[i] : static_cast<std::uint16_t>(in[2 * i] << 8 | in[2 * i + 1]);
    }
    return true;
}

std::vector<std::uint8_t> EncodeNetpbm(const NetpbmImage& image) {
    const std::string size = std::to_string(image.width) + " " + std::to_string(image.height);
    std::string header;
    if (image.channels == 3 || image.channels == 1) {
        header = std::string(image.channels == 3 ? "P6\n" : "P5\n") + size + "\n" + std::to_string(image.maxval) + "\n";
    } else {
        header = "P7\nWIDTH " + std::to_string(image.width) + "\nHEIGHT " + std::to_string(image.height) +
                 "\nDEPTH " + std::to_string(image.channels) + "\nMAXVAL " + std::to_string(image.maxval) +
                 "\nTUPLTYPE " + kTupleTypes[image.channels - 1].name + "\nENDHDR\n";
    }
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    bytes.reserve(bytes.size() + image.samples.size() * 2);
    for (std::uint16_t sample : image.samples) {
        if (image.maxval > 255) bytes.push_back(static_cast<std::uint8_t>(sample >> 8));
        bytes.push_back(static_cast<std::uint8_t>(sample));
    }
    return bytes;
}

bool ProbeNetpbm(const std::string& path, ImageProbe& probe, std::string& error) {
    NetpbmImage image;
    if (!LoadFile(path, image, /*header_only=*/true, error)) return false;
    probe.width = image.width;
    probe.height = image.height;
    probe.channels = image.channels;
    probe.bits = image.maxval > 255 ? 16 : 8;
    probe.is_float = false;
    return true;
}

std::unique_ptr<World> WorldFromSamples(const NetpbmImage& image, WorldFormat format) {
    auto world = std::make_unique<World>(format, image.width, image.height);
    const bool deep = image.maxval > 255;
    switch (format) {
        case WorldFormat::kArgb8:
        case WorldFormat::kBgra8:
            FillWorld<std::uint8_t>(*world, image, 255, [deep](std::uint16_t v) {
                return static_cast<std::uint8_t>(deep ? (v * 255u + 32767u) / 65535u : v);
            });
            break;
        case WorldFormat::kArgb16:
            FillWorld<std::uint16_t>(*world, image, 32768, [deep](std::uint16_t v) {
                return FileToWorld16(deep ? v : static_cast<std::uint16_t>(v * 257u));
            });
            break;
        case WorldFormat::kBgraFloat: {
            const float scale = 1.0f / static_cast<float>(image.maxval);
            FillWorld<float>(*world, image, 1.0f, [scale](std::uint16_t v) { return v * scale; });
            break;
        }
    }
    return world;
}

NetpbmImage SamplesFromWorld(const World& world, int channels, int float_maxval) {
    NetpbmImage image;
    image.width = world.width();
    image.height = world.height();
    image.channels = channels;
    image.samples.resize(static_cast<std::size_t>(image.width) * image.height * image.channels);
    switch (world.format()) {
        case WorldFormat::kArgb8:
        case WorldFormat::kBgra8:
            image.maxval = 255;
            PackWorld<std::uint8_t>(world, image, [](std::uint8_t v) { return std::uint16_t{v}; });
            break;
        case WorldFormat::kArgb16:
            image.maxval = 65535;
            PackWorld<std::uint16_t>(world, image, WorldToFile16);
            break;
        case WorldFormat::kBgraFloat: {
            image.maxval = float_maxval;
            const float scale = static_cast<float>(float_maxval);
            PackWorld<float>(world, image, [scale](float v) {
                const float limited = v > 0.0f ? std::min(v, 1.0f) : 0.0f;  // NaN becomes 0
                return static_cast<std::uint16_t>(std::lround(limited * scale));
            });
            break;
        }
    }
    return image;
}

std::unique_ptr<World> ReadNetpbm(const std::string& path, WorldFormat format, std::string& error) {
    NetpbmImage image;
    if (!LoadFile(path, image, /*header_only=*/false, error)) return nullptr;
    return WorldFromSamples(image, format);
}

bool WriteNetpbm(const World& world, const std::string& path, const std::string& format_name, std::string& error) {
    const std::string extension = LowerExtension(format_name);
    if (extension != ".pam" && extension != ".ppm") {
        error = "cannot write " + format_name + ": Netpbm output is .pam (with alpha) or .ppm (without)";
        return false;
    }
    const NetpbmImage image = SamplesFromWorld(world, extension == ".pam" ? 4 : 3, 65535);
    const std::vector<std::uint8_t> bytes = EncodeNetpbm(image);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        error = "cannot write " + format_name + " (choose a writable directory)";
        return false;
    }
    return true;
}

}  // namespace qxv::cli
