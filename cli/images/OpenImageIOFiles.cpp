#include "cli/images/OpenImageIO.h"

#include <OpenImageIO/imageio.h>

#include <cstring>
#include <vector>

namespace qxv::cli {

namespace OIIO = OIIO_NAMESPACE;
using hostsim::World;
using hostsim::WorldFormat;

namespace {

// Straight alpha in, straight alpha out: no premultiplication by the reader or writer.
OIIO::ImageSpec UnassociatedConfig() {
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    return config;
}

OIIO::TypeDesc WorldChannelType(WorldFormat format) {
    switch (format) {
        case WorldFormat::kArgb16: return OIIO::TypeDesc::UINT16;
        case WorldFormat::kBgraFloat: return OIIO::TypeDesc::FLOAT;
        case WorldFormat::kArgb8:
        case WorldFormat::kBgra8: break;
    }
    return OIIO::TypeDesc::UINT8;
}

// Where each of red, green, blue and alpha sits among the file's channels (-1: none).
struct ChannelMap {
    int red, green, blue, alpha;
};

ChannelMap MapChannels(const OIIO::ImageSpec& image_spec) {
    const int n = image_spec.nchannels;
    int alpha = image_spec.alpha_channel;
    if (alpha < 0 && (n == 2 || n == 4)) alpha = n - 1;
    if (n < 3) return ChannelMap{0, 0, 0, alpha};
    return ChannelMap{0, 1, 2, alpha};
}

template <class T>
void FillWorld(World& world, const std::vector<T>& pixels, int channels, ChannelMap map, T opaque, T (*convert)(T)) {
    const hostsim::ChannelOrder order = hostsim::ChannelOrderOf(world.format());
    for (A_long y = 0; y < world.height(); ++y) {
        T* out = reinterpret_cast<T*>(world.Row(y));
        const T* in = pixels.data() + static_cast<std::size_t>(y) * world.width() * channels;
        for (A_long x = 0; x < world.width(); ++x, out += 4, in += channels) {
            out[order.red] = convert(in[map.red]);
            out[order.green] = convert(in[map.green]);
            out[order.blue] = convert(in[map.blue]);
            out[order.alpha] = map.alpha >= 0 ? convert(in[map.alpha]) : opaque;
        }
    }
}

template <class T>
std::vector<T> PackRgba(const World& world, int channels, T (*convert)(T)) {
    const hostsim::ChannelOrder order = hostsim::ChannelOrderOf(world.format());
    std::vector<T> pixels(static_cast<std::size_t>(world.width()) * world.height() * channels);
    T* out = pixels.data();
    for (A_long y = 0; y < world.height(); ++y) {
        const T* in = reinterpret_cast<const T*>(world.Row(y));
        for (A_long x = 0; x < world.width(); ++x, in += 4, out += channels) {
            out[0] = convert(in[order.red]);
            out[1] = convert(in[order.green]);
            out[2] = convert(in[order.blue]);
            if (channels == 4) out[3] = convert(in[order.alpha]);
        }
    }
    return pixels;
}

template <class T>
T Same(T v) {
    return v;
}

std::string Reason(const std::string& oiio_error) {
    std::string text = oiio_error;
    const std::size_t newline = text.find('\n');
    if (newline != std::string::npos) text.resize(newline);
    return text.empty() ? "unknown reason" : text;
}

}  // namespace

bool ProbeWithOpenImageIO(const std::string& path, ImageProbe& probe, std::string& error) {
    OIIO::ImageSpec config = UnassociatedConfig();
    auto input = OIIO::ImageInput::open(path, &config);
    if (!input) {
        error = "cannot read image " + path + ": " + Reason(OIIO::geterror()) + " (check the path and the file type)";
        return false;
    }
    const OIIO::ImageSpec& image_spec = input->spec();
    probe.width = image_spec.width;
    probe.height = image_spec.height;
    probe.channels = image_spec.nchannels;
    probe.is_float = image_spec.format.is_floating_point();
    probe.bits = probe.is_float || image_spec.format.size() > 2 ? 32 : static_cast<int>(image_spec.format.size()) * 8;
    if (probe.channels < 1 || probe.width < 1 || probe.height < 1) {
        error = "cannot use image " + path + ": it has no pixels";
        return false;
    }
    return true;
}

std::unique_ptr<World> ReadWithOpenImageIO(const std::string& path, WorldFormat format, std::string& error) {
    OIIO::ImageSpec config = UnassociatedConfig();
    auto input = OIIO::ImageInput::open(path, &config);
    if (!input) {
        error = "cannot read image " + path + ": " + Reason(OIIO::geterror()) + " (check the path and the file type)";
        return nullptr;
    }
    const OIIO::ImageSpec image_spec = input->spec();
    const int channels = image_spec.nchannels;
    const ChannelMap map = MapChannels(image_spec);
    auto world = std::make_unique<World>(format, image_spec.width, image_spec.height);
    const std::size_t count = static_cast<std::size_t>(image_spec.width) * image_spec.height * channels;
    const OIIO::TypeDesc type = WorldChannelType(format);
    bool read = false;
    if (type == OIIO::TypeDesc::UINT8) {
        std::vector<std::uint8_t> pixels(count);
        read = input->read_image(0, 0, 0, channels, type, pixels.data());
        if (read) FillWorld<std::uint8_t>(*world, pixels, channels, map, 255, Same<std::uint8_t>);
    } else if (type == OIIO::TypeDesc::UINT16) {
        std::vector<std::uint16_t> pixels(count);
        read = input->read_image(0, 0, 0, channels, type, pixels.data());
        if (read) FillWorld<std::uint16_t>(*world, pixels, channels, map, 32768, FileToWorld16);
    } else {
        std::vector<float> pixels(count);
        read = input->read_image(0, 0, 0, channels, type, pixels.data());
        if (read) FillWorld<float>(*world, pixels, channels, map, 1.0f, Same<float>);
    }
    if (!read) {
        error = "cannot read image " + path + ": " + Reason(input->geterror()) + " (is the file complete?)";
        return nullptr;
    }
    return world;
}

bool WriteWithOpenImageIO(const World& world, const std::string& path, const std::string& format_name,
                           std::string& error) {
    auto output = OIIO::ImageOutput::create(format_name);
    if (!output) {
        error = "cannot write " + format_name + ": no image writer for its extension (use .png, .tif, .exr, .jpg, ...)";
        return false;
    }
    const int channels = output->supports("alpha") ? 4 : 3;
    const OIIO::TypeDesc type = WorldChannelType(world.format());
    OIIO::ImageSpec image_spec(world.width(), world.height(), channels, type);
    if (channels == 4) image_spec.alpha_channel = 3;
    image_spec.attribute("oiio:UnassociatedAlpha", 1);
    if (!output->open(path, image_spec)) {
        error = "cannot write " + format_name + ": " + Reason(output->geterror());
        return false;
    }
    bool written = false;
    if (type == OIIO::TypeDesc::UINT8) {
        written = output->write_image(type, PackRgba<std::uint8_t>(world, channels, Same<std::uint8_t>).data());
    } else if (type == OIIO::TypeDesc::UINT16) {
        written = output->write_image(type, PackRgba<std::uint16_t>(world, channels, WorldToFile16).data());
    } else {
        written = output->write_image(type, PackRgba<float>(world, channels, Same<float>).data());
    }
    if (!output->close() || !written) {
        error = "cannot write " + format_name + ": " + Reason(output->geterror());
        return false;
    }
    return true;
}

}  // namespace qxv::cli

// The one symbol libqxv_openimageio.so exports; everything else in it stays hidden, so that
// its copies of these functions never stand in for qxv's own.
extern "C" __attribute__((visibility("default"))) const qxv::cli::OpenImageIOFunctions* QxvOpenImageIOFunctions() {
    static const qxv::cli::OpenImageIOFunctions functions{qxv::cli::ProbeWithOpenImageIO, qxv::cli::ReadWithOpenImageIO,
                                                          qxv::cli::WriteWithOpenImageIO};
    return &functions;
}
