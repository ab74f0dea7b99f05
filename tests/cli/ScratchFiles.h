// A scratch directory of its own for a qxv run (tests/cli/RunCli.h), and small files, images
// among them, to feed it.
#pragma once

#include <gtest/gtest.h>
#include <OpenImageIO/imageio.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "RunCli.h"

namespace qxv::cli_tests {

class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qxv-cli-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : "";
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
};

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Pixels of an image, channels interleaved, as the file stores them.
template <class T>
struct Image {
    int width = 0, height = 0, channels = 0;
    std::vector<T> pixels;
};

template <class T>
bool WriteImage(const std::string& path, const Image<T>& image) {
    const OIIO::TypeDesc type = sizeof(T) == 1 ? OIIO::TypeDesc::UINT8 : OIIO::TypeDesc::UINT16;
    auto out = OIIO::ImageOutput::create(path);
    OIIO::ImageSpec option(image.width, image.height, image.channels, type);
    if (image.channels == 4) option.alpha_channel = 3;
    option.attribute("oiio:UnassociatedAlpha", 1);
    return out && out->open(path, option) && out->write_image(type, image.pixels.data()) && out->close();
}

template <class T>
Image<T> ReadImage(const std::string& path) {
    Image<T> image;
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    auto in = OIIO::ImageInput::open(path, &config);
    if (!in) return image;
    image.width = in->spec().width;
    image.height = in->spec().height;
    image.channels = in->spec().nchannels;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height * image.channels);
    const OIIO::TypeDesc type = sizeof(T) == 1 ? OIIO::TypeDesc::UINT8 : OIIO::TypeDesc::UINT16;
    if (!in->read_image(0, 0, 0, image.channels, type, image.pixels.data())) image.pixels.clear();
    return image;
}

inline int LineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace qxv::cli_tests
